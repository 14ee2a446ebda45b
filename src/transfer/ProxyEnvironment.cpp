// SPDX-License-Identifier: MIT
#include "ProxyEnvironment.h"

#include <QHostAddress>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace Transfer {

namespace {

// The name of a variable as the environment spells it, which is the user's spelling: Windows'
// environment finds HTTP_PROXY when asked for http_proxy.
QString spelled(const QString &name, const QProcessEnvironment &environment)
{
    const QStringList keys = environment.keys();
    if (keys.contains(name))
        return name;
    const auto same = [&name](const QString &key) {
        return key.compare(name, Qt::CaseInsensitive) == 0;
    };
    const auto key = std::find_if(keys.cbegin(), keys.cend(), same);
    return key != keys.cend() ? *key : name;
}

// The first of the variables that is set and not empty; its name in *name, when asked for.
QString firstSet(std::initializer_list<const char *> names, const QProcessEnvironment &environment,
                 QString *name = nullptr)
{
    for (const char *candidate : names) {
        QString value = environment.value(QLatin1String(candidate)).trimmed();
        if (!value.isEmpty()) {
            if (name)
                *name = spelled(QLatin1String(candidate), environment);
            return value;
        }
    }
    return {};
}

// Whether one entry of no_proxy names url's host (and its port, when the entry gives one).
bool names(QString entry, const QUrl &url)
{
    int port = -1;
    static const QRegularExpression withPort(QStringLiteral("^(\\[.*\\]|[^:]*):(\\d+)$"));
    const QRegularExpressionMatch match = withPort.match(entry);
    if (match.hasMatch()) {
        entry = match.captured(1);
        port = match.captured(2).toInt();
    }
    if (entry.startsWith(u'[') && entry.endsWith(u']'))
        entry = entry.mid(1, entry.size() - 2);
    if (port >= 0 && port != url.port(url.scheme() == QLatin1String("https") ? 443 : 80))
        return false;

    const QString host = url.host();
    const QHostAddress address(host);
    if (!address.isNull()) {
        if (QHostAddress(entry) == address)
            return true;
        const QPair<QHostAddress, int> subnet = QHostAddress::parseSubnet(entry);
        return entry.contains(u'/') && subnet.second >= 0 && address.isInSubnet(subnet);
    }
    // A name stands for itself and every name below it.
    if (entry.startsWith(QLatin1String("*.")))
        entry = entry.mid(2);
    else if (entry.startsWith(u'.'))
        entry = entry.mid(1);
    return !entry.isEmpty() && (host == entry || host.endsWith(u'.' + entry));
}

bool bypassed(const QString &noProxy, const QUrl &url)
{
    static const QRegularExpression separators(QStringLiteral("[,\\s]+"));
    const QStringList entries = noProxy.toLower().split(separators, Qt::SkipEmptyParts);
    return std::any_of(entries.cbegin(), entries.cend(), [&url](const QString &entry) {
        return entry == QLatin1String("*") || names(entry, url);
    });
}

EnvironmentProxy unusable(const QString &name, const QString &why)
{
    EnvironmentProxy result;
    result.verdict = EnvironmentProxy::Verdict::Unusable;
    result.unusable = name + u' ' + why;
    return result;
}

} // namespace

EnvironmentProxy proxyFromEnvironment(const QUrl &url, const QProcessEnvironment &environment)
{
    const bool secure = url.scheme() == QLatin1String("https");
    QString name;
    QString text =
        secure
            ? firstSet({"https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}, environment, &name)
            : firstSet({"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}, environment, &name);
    EnvironmentProxy result;
    if (text.isEmpty())
        return result;
    if (bypassed(firstSet({"no_proxy", "NO_PROXY"}, environment), url)) {
        result.verdict = EnvironmentProxy::Verdict::Direct;
        return result;
    }

    // Without a scheme, an HTTP proxy, as curl and most programs read it.
    if (!text.contains(QLatin1String("://")))
        text.prepend(QLatin1String("http://"));
    const QUrl proxyUrl(text, QUrl::StrictMode);
    if (!proxyUrl.isValid() || proxyUrl.host().isEmpty())
        return unusable(name, QStringLiteral("names no proxy host"));
    const QString scheme = proxyUrl.scheme();
    QNetworkProxy::ProxyType type = QNetworkProxy::HttpProxy;
    if (scheme == QLatin1String("socks5") || scheme == QLatin1String("socks5h"))
        type = QNetworkProxy::Socks5Proxy;
    else if (scheme != QLatin1String("http"))
        return unusable(name, QStringLiteral("names the scheme %1").arg(scheme));

    // 1080 is curl's port for a proxy that names none.
    result.proxy = QNetworkProxy(type, proxyUrl.host(), quint16(proxyUrl.port(1080)),
                                 proxyUrl.userName(), proxyUrl.password());
    // socks5:// has this machine look the host's name up; socks5h:// leaves it to the proxy.
    if (scheme == QLatin1String("socks5"))
        result.proxy.setCapabilities(result.proxy.capabilities() &
                                     ~QNetworkProxy::HostNameLookupCapability);
    result.verdict = EnvironmentProxy::Verdict::Proxy;
    return result;
}

} // namespace Transfer
