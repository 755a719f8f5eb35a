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

} // namespace kalvoro_url
