// SPDX-License-Identifier: MIT
#include "HttpGet.h"

#include "ProxyEnvironment.h"

#include "text/MessageText.h"

#include "config.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QLoggingCategory>
#include <QNetworkProxyFactory>
#include <QSslSocket>

namespace Transfer {

namespace {

// Quiet unless QT_LOGGING_RULES turns it on: the transfer logs at the info level.
Q_LOGGING_CATEGORY(lcTransfer, "vistameter.transfer", QtWarningMsg)

const QByteArray UserAgent = "User-Agent: Vistameter/" VISTAMETER_VERSION "\r\n";

QByteArray proxyAuthorization(const QNetworkProxy &proxy)
{
    if (proxy.user().isEmpty())
        return {};
    return "Proxy-Authorization: Basic " +
           (proxy.user() + u':' + proxy.password()).toUtf8().toBase64() + "\r\n";
}

// The request for url. An HTTP proxy is given the whole address, as browsers send it; a
// server, only the path and query.
QByteArray requestFor(const QUrl &url, const QNetworkProxy *httpProxy)
{
    QUrl target = url.adjusted(QUrl::RemoveUserInfo | QUrl::RemoveFragment);
    if (target.path().isEmpty())
        target.setPath(QStringLiteral("/"));
    const QByteArray form = httpProxy
                                ? target.toEncoded()
                                : target.toEncoded(QUrl::RemoveScheme | QUrl::RemoveAuthority);
    QByteArray request = "GET " + form +
                         " HTTP/1.0\r\nHost: " + target.authority(QUrl::FullyEncoded).toLatin1() +
                         "\r\n"
                         "Accept-Encoding: identity\r\n"
                         "Connection: close\r\n" +
                         UserAgent;
    if (httpProxy)
        request += proxyAuthorization(*httpProxy);
    return request + "\r\n";
}

// What an HTTP proxy is asked for a tunnel to url's host and port.
QByteArray tunnelRequestFor(const QUrl &url, const QNetworkProxy &proxy)
{
    QUrl server;
    server.setHost(url.host());
    server.setPort(url.port(443));
    const QByteArray authority = server.authority(QUrl::FullyEncoded).toLatin1();
    return "CONNECT " + authority + " HTTP/1.1\r\nHost: " + authority + "\r\n" + UserAgent +
           proxyAuthorization(proxy) + "\r\n";
}

// host:port, as an address is written in a URL.
QString address(const QString &host, int port)
{
    return (host.contains(u':') ? u'[' + host + u']' : host) + u':' + QString::number(port);
}

QString address(const QNetworkProxy &proxy)
{
    return address(proxy.hostName(), proxy.port());
}

// How a request goes, for the log.
QString route(const QNetworkProxy &proxy)
{
    switch (proxy.type()) {
    case QNetworkProxy::HttpProxy:
        return QStringLiteral("through HTTP proxy ") + loggable(address(proxy));
    case QNetworkProxy::Socks5Proxy:
        return QStringLiteral("through SOCKS5 proxy ") + loggable(address(proxy));
    default:
        return QStringLiteral("direct");
    }
}

QString shown(const QUrl &url)
{
    return loggable(url.toDisplayString(QUrl::RemoveUserInfo));
}

} // namespace

HttpGet::HttpGet(QObject *parent) : QObject(parent)
{
    // A coarse timer may fire up to 5 % early.
    m_deadline.setTimerType(Qt::PreciseTimer);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        finish({Reason::Deadline, 0, QStringLiteral("%1 ms").arg(m_deadline.interval())});
    });
}

HttpGet::Result HttpGet::fetch(const QUrl &url, std::chrono::milliseconds deadline)
{
    HttpGet transfer;
    QEventLoop loop;
    connect(&transfer, &HttpGet::finished, &loop, &QEventLoop::quit);
    transfer.start(url, deadline);
    if (transfer.state() != State::Finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    // The loop also ends when the whole application is told to quit.
    transfer.abort();
    return {transfer.body(), transfer.error()};
}

void HttpGet::start(const QUrl &url, std::chrono::milliseconds deadline)
{
    m_clock.start();
    m_deadline.start(deadline);
    connectTo(url);
}

void HttpGet::abort()
{
    finish({Reason::Quit, 0, {}});
}

QByteArray HttpGet::body() const
{
    return m_state == State::Finished && m_error.reason == Reason::None ? m_reply.body()
                                                                        : QByteArray();
}

void HttpGet::connectTo(const QUrl &url)
{
    const QString scheme = url.scheme();
    const bool secure = scheme == QLatin1String("https");
    const bool redirected = m_redirects > 0;
    const bool fromHttps = m_url.scheme() == QLatin1String("https");
    m_url = url;
    if (!(secure || scheme == QLatin1String("http"))) {
        finish({redirected ? Reason::RedirectRefused : Reason::InvalidAddress, 0,
                QStringLiteral("scheme %1").arg(scheme)});
        return;
    }
    if (!url.isValid() || url.host().isEmpty()) {
        finish(redirected
                   ? Error{Reason::RedirectRefused, 0, QStringLiteral("invalid address")}
                   : Error{Reason::InvalidAddress, 0, url.toDisplayString(QUrl::RemoveUserInfo)});
        return;
    }
    // Never from https back to plain http.
    if (fromHttps && !secure) {
        finish({Reason::RedirectRefused, 0, QStringLiteral("https to http")});
        return;
    }
    m_reply = HttpReply();
    m_tunnel = QNetworkProxy(QNetworkProxy::NoProxy);
    m_proxy = QNetworkProxy(QNetworkProxy::NoProxy);

    // This machine's own loopback is none of a proxy's business, as browsers hold too.
    QNetworkProxy proxy(QNetworkProxy::NoProxy);
    const bool loopback =
        url.host() == QLatin1String("localhost") || QHostAddress(url.host()).isLoopback();
    if (!loopback) {
        const EnvironmentProxy named = proxyFromEnvironment(url);
        switch (named.verdict) {
        case EnvironmentProxy::Verdict::Unset:
            proxy = QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(url)).value(0);
            break;
        case EnvironmentProxy::Verdict::Direct:
            break;
        case EnvironmentProxy::Verdict::Proxy:
            proxy = named.proxy;
            break;
        case EnvironmentProxy::Verdict::Unusable:
            // Sent direct instead, the request would pass a proxy that the user may have to go
            // through, with the account in clear text.
            finish({Reason::ProxyUnusable, 0, named.unusable});
            return;
        }
    }
    // Every hop's route, as the request goes out.
    m_proxy = proxy;
    qCInfo(lcTransfer).noquote() << "GET" << shown(url) << route(proxy);

    QString host = url.host();
    auto port = quint16(url.port(secure ? 443 : 80));
    QNetworkProxy socketProxy(QNetworkProxy::NoProxy);
    const bool httpProxy = proxy.type() == QNetworkProxy::HttpProxy;
    if (httpProxy) {
        // Plain HTTP goes to an HTTP proxy as a request for the whole address; https through a
        // tunnel that is asked for here rather than by the socket, so that the proxy's answer
        // is read within the same limits as a reply.
        host = proxy.hostName();
        port = proxy.port();
        if (secure)
            m_tunnel = proxy;
    } else if (proxy.type() == QNetworkProxy::Socks5Proxy) {
        // The socket reaches a SOCKS proxy by itself.
        socketProxy = proxy;
    }
    m_request = requestFor(url, httpProxy && !secure ? &proxy : nullptr);

    QSslSocket *ssl = secure ? new QSslSocket(this) : nullptr;
    m_socket = ssl ? ssl : new QTcpSocket(this);
    m_socket->setProxy(socketProxy);
    m_socket->setReadBufferSize(ReadSlice);
    connect(m_socket, &QTcpSocket::connected, this, &HttpGet::connected);
    connect(m_socket, &QTcpSocket::readyRead, this, &HttpGet::readSlice);
    connect(m_socket, &QTcpSocket::disconnected, this,
            [this] { connectionError(QAbstractSocket::RemoteHostClosedError); });
    connect(m_socket, &QTcpSocket::errorOccurred, this, &HttpGet::connectionError);
    m_state = State::Connecting;
    if (ssl) {
        connect(ssl, &QSslSocket::encrypted, this, &HttpGet::encrypted);
        if (m_tunnel.type() == QNetworkProxy::NoProxy)
            ssl->connectToHostEncrypted(host, port);
        else
            ssl->connectToHost(host, port);
    } else {
        m_socket->connectToHost(host, port);
    }
}

void HttpGet::connected()
{
    if (m_tunnel.type() != QNetworkProxy::NoProxy) {
        m_state = State::Tunnelling;
        m_reply = HttpReply(HttpReply::Kind::Tunnel);
        m_socket->write(tunnelRequestFor(m_url, m_tunnel));
    } else if (qobject_cast<QSslSocket *>(m_socket)) {
        // The socket goes on with the handshake by itself.
        m_state = State::Encrypting;
    } else {
        m_state = State::Reading;
        m_socket->write(m_request);
    }
}

void HttpGet::encrypted()
{
    m_state = State::Reading;
    m_socket->write(m_request);
}

void HttpGet::connectionError(QAbstractSocket::SocketError error)
{
    if (m_state == State::Finished || !m_socket)
        return;
    // What came before the connection ended is read first: it may be a whole reply, a body
    // that the close ends, or a proxy's refusal. The socket buffers no more than ReadSlice.
    if (m_state == State::Reading) {
        const HttpReply::State replyState = m_reply.feed(m_socket->readAll());
        if (replyState != HttpReply::State::Reading)
            settle(replyState);
        // Qt 6.4's socket engine reads a reset as an orderly close, so a reset after a body
        // without a length can't be told from that body's end, and the body is taken as whole.
        else if (error == QAbstractSocket::RemoteHostClosedError)
            settle(m_reply.end());
        else
            finish(socketError(error));
        return;
    }
    if (m_state == State::Tunnelling &&
        m_reply.feed(m_socket->readAll()) == HttpReply::State::Failed) {
        settle(HttpReply::State::Failed);
        return;
    }
    finish(socketError(error));
}

HttpGet::Error HttpGet::socketError(QAbstractSocket::SocketError error) const
{
    // An HTTP proxy is what the socket connects to; a SOCKS proxy reports the server's faults
    // apart from its own.
    const bool httpProxy = m_proxy.type() == QNetworkProxy::HttpProxy;
    switch (error) {
    case QAbstractSocket::HostNotFoundError:
        return httpProxy ? Error{Reason::ProxyNameNotFound, 0, m_proxy.hostName()}
                         : Error{Reason::NameNotFound, 0, m_url.host()};
    case QAbstractSocket::ProxyNotFoundError:
        return {Reason::ProxyNameNotFound, 0, m_proxy.hostName()};
    case QAbstractSocket::ConnectionRefusedError:
        return httpProxy ? Error{Reason::ProxyConnectionRefused, 0, address(m_proxy)}
                         : Error{Reason::ConnectionRefused, 0, serverAddress()};
    case QAbstractSocket::ProxyConnectionRefusedError:
        return {Reason::ProxyConnectionRefused, 0, address(m_proxy)};
    case QAbstractSocket::RemoteHostClosedError:
        return {Reason::ConnectionClosed, 0, {}};
    case QAbstractSocket::SslHandshakeFailedError:
    case QAbstractSocket::SslInternalError:
    case QAbstractSocket::SslInvalidUserDataError:
        return {Reason::Tls, 0, m_socket->errorString()};
    default:
        return {Reason::NetworkError, 0, m_socket->errorString()};
    }
}

HttpGet::Error HttpGet::replyError() const
{
    const Error &failed = m_reply.error();
    if (proxyAnswers() &&
        (failed.reason == Reason::HttpStatus || failed.reason == Reason::ProxyStatus))
        return {Reason::ProxyStatus, failed.status, address(m_proxy)};
    return failed;
}

bool HttpGet::proxyAnswers() const
{
    // Through a tunnel, the server answers once the proxy has opened it.
    return m_proxy.type() == QNetworkProxy::HttpProxy &&
           (m_tunnel.type() == QNetworkProxy::NoProxy || m_state == State::Tunnelling);
}

QString HttpGet::serverAddress() const
{
    return address(m_url.host(), m_url.port(m_url.scheme() == QLatin1String("https") ? 443 : 80));
}

void HttpGet::readSlice()
{
    if (m_state != State::Tunnelling && m_state != State::Reading)
        return;
    if (m_socket->bytesAvailable() > 0) {
        const HttpReply::State replyState = m_reply.feed(m_socket->read(ReadSlice));
        if (replyState != HttpReply::State::Reading) {
            settle(replyState);
            return;
        }
    }
    // readyRead comes only for bytes that arrive from now on, not for those waiting.
    if (m_socket->bytesAvailable() > 0 && !m_sliceQueued) {
        m_sliceQueued = true;
        QMetaObject::invokeMethod(this, &HttpGet::continueReading, Qt::QueuedConnection);
    }
}

void HttpGet::continueReading()
{
    m_sliceQueued = false;
    readSlice();
}

void HttpGet::settle(HttpReply::State replyState)
{
    // What answered, and how, as curl -v shows it; put together only for a log that is on.
    if (replyState != HttpReply::State::Reading && m_reply.status() != 0 &&
        lcTransfer().isInfoEnabled()) {
        const QString peer = proxyAnswers() ? QStringLiteral("proxy ") + loggable(address(m_proxy))
                                            : loggable(serverAddress());
        QString answer = loggable(QString::fromUtf8(m_reply.statusText()));
        if (replyState == HttpReply::State::Redirected)
            answer +=
                QStringLiteral(", Location: ") + loggable(QString::fromUtf8(m_reply.location()));
        qCInfo(lcTransfer).noquote() << "answer from" << peer + u':' << answer;
    }
    switch (replyState) {
    case HttpReply::State::Reading:
        break;
    case HttpReply::State::Succeeded:
        if (m_state == State::Tunnelling) {
            // The tunnel is open: the handshake goes through it to the server, whose
            // certificate must name the server and not the proxy the socket is connected to.
            m_state = State::Encrypting;
            m_reply = HttpReply();
            auto *ssl = static_cast<QSslSocket *>(m_socket);
            ssl->setPeerVerifyName(m_url.host());
            ssl->startClientEncryption();
        } else {
            finish({});
        }
        break;
    case HttpReply::State::Failed:
        finish(replyError());
        break;
    case HttpReply::State::Redirected:
        if (++m_redirects > MaxRedirects) {
            finish({Reason::TooManyRedirects, 0, {}});
            break;
        }
        dropConnection();
        connectTo(m_url.resolved(QUrl(QString::fromUtf8(m_reply.location()))));
        break;
    }
}

void HttpGet::finish(const Error &error)
{
    if (m_state == State::Finished)
        return;
    m_state = State::Finished;
    m_error = error;
    m_deadline.stop();
    dropConnection();
    qCInfo(lcTransfer).noquote() << "GET" << shown(m_url) << "ended after" << m_clock.elapsed()
                                 << "ms:" << m_error.description();
    emit finished();
}

void HttpGet::dropConnection()
{
    if (!m_socket)
        return;
    // Called from the socket's own signals too, so it is deleted once they have returned.
    m_socket->disconnect(this);
    m_socket->abort();
    m_socket->deleteLater();
    m_socket = nullptr;
}

} // namespace Transfer
