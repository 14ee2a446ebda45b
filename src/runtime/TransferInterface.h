// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

#include <chrono>

// What the platform layer asks of the transfer plugin, and the words in which a transfer says
// why it ended. QtCore only: the program includes this without mapping Qt Network, and the
// plugin and the HTTP client include it and nothing else of the platform layer.
namespace Runtime {

// Why a transfer ended: one list for the client, the plugin's loader and the log.
struct TransferError
{
    enum class Reason {
        None,                // the transfer succeeded
        NameNotFound,        // the host's name doesn't resolve
        ConnectionRefused,   // nothing listens at the host's port
        ConnectionClosed,    // closed or reset before the reply was whole
        NetworkError,        // any other fault of the connection, in Qt's words (detail)
        Tls,                 // the TLS handshake failed, in Qt's words (detail)
        ProxyUnusable,       // a proxy variable names a scheme the client can't use (detail)
        ProxyRefused,        // the HTTP proxy refused the tunnel with this status
        HttpStatus,          // the server answered with this status, not a success
        MalformedStatusLine, // no HTTP/1.0 or HTTP/1.1 status line
        MalformedHeader,     // a header line that isn't "name: value"
        BadLength,           // a Content-Length that isn't one number
        ContentCoding,       // a body coded other than identity (detail)
        MalformedChunk,      // a chunk size or chunk end that isn't one
        HeadLimit,           // status line and headers past their size limit
        HeaderLinesLimit,    // more header (or trailer) lines than allowed
        BodyLimit,           // a body past its size limit
        ChunkLineLimit,      // a chunk size line past its size limit
        InterimLimit,        // more 1xx replies than allowed before the real one
        TooManyRedirects,    // more redirects than allowed
        RedirectRefused, // a redirect to another scheme, from https to http, or nowhere (detail)
        InvalidAddress,  // an address the client can't fetch (detail)
        Deadline,        // the deadline (detail) passed first
        Quit,            // the program quit during the transfer
        PluginMissing,   // no transfer plugin at its path (detail)
        PluginNotOurs,   // the file there is no transfer plugin of this program (detail)
    };

    Reason reason = Reason::None;
    int status = 0; // HttpStatus, ProxyRefused
    QString detail; // Qt's error text, a scheme, a coding, a path, as the reason says

    // One line for the log: "HTTP status 404", "body over its size limit".
    QString description() const;
};

// A transfer's outcome: the body when it succeeded, and why it ended.
struct TransferResult
{
    QByteArray body;
    TransferError error;
};

// The transfer plugin's one interface.
class TransferInterface
{
public:
    virtual ~TransferInterface() = default;

    // Fetches url with one GET, following redirects. Returns only when the transfer has ended,
    // at the latest after deadline or when the application quits; meanwhile windows are
    // painted but take no input.
    virtual TransferResult openUrl(const QUrl &url, std::chrono::milliseconds deadline) = 0;
};

inline QString TransferError::description() const
{
    const auto with = [this](const char *text) { return QLatin1String(text) + detail; };
    switch (reason) {
    case Reason::None:
        return QStringLiteral("succeeded");
    case Reason::NameNotFound:
        return QStringLiteral("host name not found");
    case Reason::ConnectionRefused:
        return QStringLiteral("connection refused");
    case Reason::ConnectionClosed:
        return QStringLiteral("connection closed before the reply was whole");
    case Reason::NetworkError:
        return with("network error: ");
    case Reason::Tls:
        return with("TLS failed: ");
    case Reason::ProxyUnusable:
        return with("proxy unusable: ");
    case Reason::ProxyRefused:
        return QStringLiteral("proxy refused the tunnel with status %1").arg(status);
    case Reason::HttpStatus:
        return QStringLiteral("HTTP status %1").arg(status);
    case Reason::MalformedStatusLine:
        return QStringLiteral("malformed status line");
    case Reason::MalformedHeader:
        return QStringLiteral("malformed header line");
    case Reason::BadLength:
        return QStringLiteral("bad Content-Length");
    case Reason::ContentCoding:
        return with("content coding not identity: ");
    case Reason::MalformedChunk:
        return QStringLiteral("malformed chunk");
    case Reason::HeadLimit:
        return QStringLiteral("head over its size limit");
    case Reason::HeaderLinesLimit:
        return QStringLiteral("more header lines than allowed");
    case Reason::BodyLimit:
        return QStringLiteral("body over its size limit");
    case Reason::ChunkLineLimit:
        return QStringLiteral("chunk size line over its size limit");
    case Reason::InterimLimit:
        return QStringLiteral("more interim replies than allowed");
    case Reason::TooManyRedirects:
        return QStringLiteral("too many redirects");
    case Reason::RedirectRefused:
        return with("redirect refused: ");
    case Reason::InvalidAddress:
        return with("invalid address: ");
    case Reason::Deadline:
        return with("deadline passed: ");
    case Reason::Quit:
        return QStringLiteral("the program quit");
    case Reason::PluginMissing:
        return with("transfer plugin missing: ");
    case Reason::PluginNotOurs:
        return with("not our transfer plugin: ");
    }
    return QStringLiteral("unknown reason %1").arg(int(reason));
}

} // namespace Runtime

// The plugin's interface id. Its number goes up whenever the interface or the list of reasons
// changes, so that a plugin built against another one is refused before any of its code runs.
#define VistameterTransferInterface_iid "vistameter.Transfer/2"
Q_DECLARE_INTERFACE(Runtime::TransferInterface, VistameterTransferInterface_iid)
