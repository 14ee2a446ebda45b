// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QNetworkProxy>
#include <QProcessEnvironment>
#include <QString>
#include <QUrl>

namespace Transfer {

// What the proxy variables of the environment say about one address, read as curl reads them.
struct EnvironmentProxy
{
    enum class Verdict {
        Unset,    // no variable names a proxy for the address's scheme: the system decides
        Direct,   // no_proxy names the host
        Proxy,    // through proxy
        Unusable, // a variable names a proxy that can't be used; the request must not go direct
    };

    Verdict verdict = Verdict::Unset;
    QNetworkProxy proxy; // Proxy: an HTTP or SOCKS5 proxy, with the credentials it was given
    QString unusable;    // Unusable: which variable, and why, without its credentials
};

// Reads http_proxy (https_proxy for https), then all_proxy, each in lower case first and then
// in upper case, and no_proxy. A proxy without a scheme is an HTTP proxy; http://, socks5://
// and socks5h:// are understood, any other scheme is unusable. no_proxy lists hosts (a host
// also stands for the domain below it, and a leading dot or "*." is the same), host:port,
// addresses, subnets in CIDR form, or "*" for every host. The process's environment is read at
// each call, so that a change applies from the next transfer on.
EnvironmentProxy proxyFromEnvironment(
    const QUrl &url,
    const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

} // namespace Transfer
