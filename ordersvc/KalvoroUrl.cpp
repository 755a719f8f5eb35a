#include "KalvoroUrl.h"

#include "RestClient.h"

#include <QStringView>

namespace kalvoro_url {

namespace {

bool isAsciiLetter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool isAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Whether the text begins with a scheme and "://".
bool namesScheme(const QString &url) {
    if (url.isEmpty() || !isAsciiLetter(url[0]))
        return false;
    qsizetype i = 1;
    while (i < url.size() && (isAsciiLetter(url[i]) || isAsciiDigit(url[i]) || url[i] == u'+' ||
                              url[i] == u'-' || url[i] == u'.'))
        ++i;
    return QStringView(url).mid(i).startsWith(u"://");
}

} // namespace

QString baseUrlFrom(const QString &configured) {
    QString url = configured.trimmed();
    if (!namesScheme(url))
        url.prepend(QStringLiteral("http://"));
    if (url.endsWith(u'/'))
        url.chop(1);
    return url;
}

QString requestUrl(const QString &configured, const QString &resource) {
    return QString::fromStdString(wik::rest::RestClient::joinUrl(
        baseUrlFrom(configured).toStdString(), resource.toStdString()));
}

bool namesHost(const QString &baseUrl) {
    const qsizetype separator = baseUrl.indexOf(u"://");
    if (separator < 0)
        return false;
    const qsizetype start = separator + 3;
    qsizetype end = start;
    while (end < baseUrl.size() && baseUrl[end] != u'/' && baseUrl[end] != u'?' && baseUrl[end] != u'#')
        ++end;
    QStringView host = QStringView(baseUrl).mid(start, end - start);
    host = host.mid(host.lastIndexOf(u'@') + 1); // user information
    if (!host.startsWith(u'[')) {               // a port, but not the colons of an IPv6 address
        const qsizetype colon = host.indexOf(u':');
        if (colon >= 0)
            host = host.left(colon);
    }
    return !host.isEmpty();
}

} // namespace kalvoro_url
