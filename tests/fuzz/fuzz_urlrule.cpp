// The order service's request URL, from the base URL text configured in config_kalvoro.
// The input is split at its first NUL byte into the configured text and the resource (the
// resource of a fetch when there is no NUL).
//
// Properties: nothing crashes; the base URL is the trimmed configured text (behind "http://" when
// it names no scheme) less one trailing "/"; the request URL is the base URL, one "/" unless the
// base URL still ends with one, and the resource; a base URL configured with or without one
// trailing "/" gives the same request URL; and when the base URL names a host (the client
// refuses one that does not), the request URL names a scheme and the same host part: no resource
// and no configured text moves the request, and the credentials with it, to another host.
#include "FuzzCheck.h"
#include "KalvoroUrl.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

QString fromBytes(std::string_view bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

bool isAsciiLetter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

// A scheme (a letter, then letters, digits, "+", "-", ".") and "://" at the start.
bool namesScheme(const QString &url) {
    if (url.isEmpty() || !isAsciiLetter(url[0]))
        return false;
    qsizetype i = 1;
    while (i < url.size() && (isAsciiLetter(url[i]) || (url[i] >= u'0' && url[i] <= u'9') ||
                              url[i] == u'+' || url[i] == u'-' || url[i] == u'.'))
        ++i;
    return QStringView(url).mid(i).startsWith(u"://");
}

// What lies between "://" and the first "/", "?" or "#" after it.
QString authorityOf(const QString &url) {
    const qsizetype start = url.indexOf(u"://") + 3;
    qsizetype end = start;
    while (end < url.size() && url[end] != u'/' && url[end] != u'?' && url[end] != u'#')
        ++end;
    return url.mid(start, end - start);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const std::size_t nul = bytes.find('\0');
    const QString configured = fromBytes(bytes.substr(0, nul));
    const QString resource = nul == std::string_view::npos ? QStringLiteral("invoices/get")
                                                           : fromBytes(bytes.substr(nul + 1));

    const QString base = kalvoro_url::baseUrlFrom(configured);
    const QString url = kalvoro_url::requestUrl(configured, resource);

    const QString trimmed = configured.trimmed();
    QString expectedBase = namesScheme(trimmed) ? trimmed : QStringLiteral("http://") + trimmed;
    if (expectedBase.endsWith(u'/'))
        expectedBase.chop(1);
    FUZZ_CHECK(base == expectedBase);
    if (resource.isEmpty())
        FUZZ_CHECK(url == base);
    else
        FUZZ_CHECK(url == base + (base.endsWith(u'/') ? QString() : QStringLiteral("/")) + resource);

    // One trailing "/" more or less in the configuration makes no difference.
    if (!trimmed.isEmpty() && !trimmed.endsWith(u'/'))
        FUZZ_CHECK(kalvoro_url::requestUrl(trimmed + u'/', resource) == url);

    if (kalvoro_url::namesHost(base)) {
        FUZZ_CHECK(namesScheme(url));
        FUZZ_CHECK(authorityOf(url) == authorityOf(base));
        FUZZ_CHECK(!authorityOf(url).isEmpty());
    }
    return 0;
}
