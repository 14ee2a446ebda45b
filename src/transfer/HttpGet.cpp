// SPDX-License-Identifier: MIT
#include "HttpGet.h"

#include <QHostAddress>
#include <QNetworkProxy>
#include <QNetworkProxyFactory>
#include <QSslSocket>

namespace Transfer {

namespace {

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
                         "Connection: close\r\n"
                         "User-Agent: Vistameter/" VISTAMETER_VERSION "\r\n";
    if (httpProxy && !httpProxy->user().isEmpty())
        request += "Proxy-Authorization: Basic " +
                   (httpProxy->user() + u':' + httpProxy->password()).toUtf8().toBase64() + "\r\n";
    return request + "\r\n";
}

} // namespace

HttpGet::HttpGet(QObject *parent) : QObject(parent)
{
    // A coarse timer may fire up to 5 % early.
    m_deadline.setTimerType(Qt::PreciseTimer);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] { finish(false); });
}

void HttpGet::start(const QUrl &url, std::chrono::milliseconds deadline)
{
    m_deadline.start(deadline);
    connectTo(url);
}

void HttpGet::abort()
{
    finish(false);
}

QByteArray HttpGet::body() const
{
    return m_succeeded ? m_reply.body() : QByteArray();
}

void HttpGet::connectTo(const QUrl &url)
{
    const QString scheme = url.scheme();
    const bool secure = scheme == QLatin1String("https");
    // Never from https back to plain http, and no other scheme at all.
    if (!url.isValid() || url.host().isEmpty() || !(secure || scheme == QLatin1String("http")) ||
        (m_url.scheme() == QLatin1String("https") && !secure)) {
        finish(false);
        return;
    }
    m_url = url;
    m_reply = HttpReply();
    m_closed = false;
    m_broken = false;

    QString host = url.host();
    auto port = quint16(url.port(secure ? 443 : 80));
    // This machine's own loopback is none of a proxy's business, as browsers hold too.
    QNetworkProxy socketProxy(QNetworkProxy::NoProxy);
    const bool loopback =
        url.host() == QLatin1String("localhost") || QHostAddress(url.host()).isLoopback();
    const QNetworkProxy proxy =
        loopback ? socketProxy
                 : QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(url)).value(0);
    // The socket reaches a SOCKS proxy, or tunnels through an HTTP one, by itself; plain HTTP
    // goes to an HTTP proxy as a request for the whole address.
    const bool viaHttpProxy = proxy.type() == QNetworkProxy::HttpProxy && !secure;
    if (viaHttpProxy) {
        host = proxy.hostName();
        port = proxy.port();
    } else if (proxy.type() == QNetworkProxy::HttpProxy ||
               proxy.type() == QNetworkProxy::Socks5Proxy) {
        socketProxy = proxy;
    }
    m_request = requestFor(url, viaHttpProxy ? &proxy : nullptr);

    QSslSocket *ssl = secure ? new QSslSocket(this) : nullptr;
    m_socket = ssl ? ssl : new QTcpSocket(this);
    m_socket->setProxy(socketProxy);
    m_socket->setReadBufferSize(ReadSlice);
    connect(m_socket, &QTcpSocket::readyRead, this, &HttpGet::readSlice);
    connect(m_socket, &QTcpSocket::disconnected, this,
            [this] { connectionError(QAbstractSocket::RemoteHostClosedError); });
    connect(m_socket, &QTcpSocket::errorOccurred, this, &HttpGet::connectionError);
    if (ssl) {
        connect(ssl, &QSslSocket::encrypted, this, &HttpGet::send);
        ssl->connectToHostEncrypted(host, port);
    } else {
        connect(m_socket, &QTcpSocket::connected, this, &HttpGet::send);
        m_socket->connectToHost(host, port);
    }
}

void HttpGet::send()
{
    m_socket->write(m_request);
}

void HttpGet::connectionError(QAbstractSocket::SocketError error)
{
    // What the server sent before it closed is read first: it may be a whole reply, or a body
    // that the close ends. A connection that breaks in any other way can end no body.
    m_closed = true;
    m_broken = m_broken || error != QAbstractSocket::RemoteHostClosedError;
    readSlice();
}

void HttpGet::readSlice()
{
    if (m_finished || !m_socket)
        return;
    if (m_socket->bytesAvailable() > 0) {
        const HttpReply::State state = m_reply.feed(m_socket->read(ReadSlice));
        if (state != HttpReply::State::Reading) {
            settle(state);
            return;
        }
    }
    if (m_socket->bytesAvailable() > 0) {
        // readyRead comes only for bytes that arrive from now on, not for those waiting.
        if (!m_sliceQueued) {
            m_sliceQueued = true;
            QMetaObject::invokeMethod(this, &HttpGet::continueReading, Qt::QueuedConnection);
        }
    } else if (m_closed) {
        settle(m_broken ? HttpReply::State::Failed : m_reply.end());
    }
}

void HttpGet::continueReading()
{
    m_sliceQueued = false;
    readSlice();
}

void HttpGet::settle(HttpReply::State state)
{
    switch (state) {
    case HttpReply::State::Reading:
        break;
    case HttpReply::State::Succeeded:
        finish(true);
        break;
    case HttpReply::State::Failed:
        finish(false);
        break;
    case HttpReply::State::Redirected:
        if (++m_redirects > MaxRedirects) {
            finish(false);
            break;
        }
        dropConnection();
        connectTo(m_url.resolved(QUrl(QString::fromUtf8(m_reply.location()))));
        break;
    }
}

void HttpGet::finish(bool succeeded)
{
    if (m_finished)
        return;
    m_finished = true;
    m_succeeded = succeeded;
    m_deadline.stop();
    dropConnection();
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
