// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

namespace Transfer {

// Why a transfer ended: one list for the client, its reply reader and the log. Only the text
// that description() makes of it leaves the plugin.
struct TransferError
{
    enum class Reason {
        None,                   // the transfer succeeded
        NameNotFound,           // the server's name doesn't resolve (detail: the name)
        ProxyNameNotFound,      // the proxy's name doesn't resolve (detail: the name)
        ConnectionRefused,      // nothing listens at the server's address (detail: host:port)
        ProxyConnectionRefused, // nothing listens at the proxy's address (detail: host:port)
        ConnectionClosed,       // closed or reset before the reply was whole
        NetworkError,           // any other fault of the connection, in Qt's words (detail)
        Tls,                    // the TLS handshake failed, in Qt's words (detail)
        ProxyUnusable,          // a proxy variable names a scheme the client can't use (detail)
        ProxyStatus,            // the HTTP proxy answered with this status (detail: its host:port)
        HttpStatus,             // the server answered with this status, not a success
        MalformedStatusLine,    // no HTTP/1.0 or HTTP/1.1 status line
        MalformedHeader,        // a header line that isn't "name: value"
        BadLength,              // a Content-Length that isn't one number
        ContentCoding,          // a body coded other than identity (detail)
        MalformedChunk,         // a chunk size or chunk end that isn't one
        HeadLimit,              // status line and headers past their size limit
        HeaderLinesLimit,       // more header (or trailer) lines than allowed
        BodyLimit,              // a body past its size limit
        ChunkLineLimit,         // a chunk size line past its size limit
        InterimLimit,           // more 1xx replies than allowed before the real one
        TooManyRedirects,       // more redirects than allowed
        RedirectRefused, // a redirect to another scheme, from https to http, or nowhere (detail)
        InvalidAddress,  // an address the client can't fetch (detail)
        Deadline,        // the deadline (detail) passed first
        Quit,            // the program quit during the transfer
    };

    Reason reason = Reason::None;
    int status = 0; // HttpStatus, ProxyStatus
    QString detail; // as the reason says; it may come from a server or a proxy variable

    // One line for the log, with the detail as loggable() writes it: "HTTP status 404",
    // "host name not found: r.qzone.qq.com", "proxy 127.0.0.1:3128 answered 403".
    QString description() const;
};

} // namespace Transfer
