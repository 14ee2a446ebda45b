// SPDX-License-Identifier: MIT
#include "TransferError.h"

#include "text/MessageText.h"

namespace Transfer {

QString TransferError::description() const
{
    const QString shown = loggable(detail);
    const auto with = [&shown](const char *text) { return QLatin1String(text) + shown; };
    switch (reason) {
    case Reason::None:
        return QStringLiteral("succeeded");
    case Reason::NameNotFound:
        return with("host name not found: ");
    case Reason::ProxyNameNotFound:
        return with("proxy name not found: ");
    case Reason::ConnectionRefused:
        return with("connection refused: ");
    case Reason::ProxyConnectionRefused:
        return with("connection to the proxy refused: ");
    case Reason::ConnectionClosed:
        return QStringLiteral("connection closed before the reply was whole");
    case Reason::NetworkError:
        return with("network error: ");
    case Reason::Tls:
        return with("TLS failed: ");
    case Reason::ProxyUnusable:
        return with("proxy unusable: ");
    case Reason::ProxyStatus:
        // The one status a user can do something about.
        if (status == 407)
            return QStringLiteral("proxy %1 asks for a user name and password (407)").arg(shown);
        return QStringLiteral("proxy %1 answered %2").arg(shown).arg(status);
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
    }
    return QStringLiteral("unknown reason %1").arg(int(reason));
}

} // namespace Transfer
