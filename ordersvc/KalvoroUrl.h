#pragma once
// Where the order service's requests go: the base URL configured in config_kalvoro and the
// address of one resource under it. Plain text rules with no window, query or connection behind
// them, so that they can be exercised on their own.
#include <QString>

namespace kalvoro_url {

// The base URL from the configured text: white space trimmed at both ends; "http://" put in
// front when the text names no scheme (a letter, then letters, digits, "+", "-" or ".", then
// "://"); then one trailing "/" removed.
QString baseUrlFrom(const QString &configured);

// The URL a request for `resource` goes to with that configured base URL: the base URL, a "/"
// unless it still ends with one, and the resource. No query string is added.
QString requestUrl(const QString &configured, const QString &resource);

// Whether a base URL made by baseUrlFrom names a host: something between its "://" and the first
// "/", "?" or "#" after it, once user information ("user:pass@") and a port (":8080") are set
// aside. Without a host the resource of a request would be read as the host.
bool namesHost(const QString &baseUrl);

} // namespace kalvoro_url
