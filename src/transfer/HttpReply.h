// SPDX-License-Identifier: MIT
#pragma once

#include "TransferError.h"

#include <QByteArray>
#include <QByteArrayView>

namespace Transfer {

// Reads one HTTP/1.x reply from the bytes of its connection as they arrive. Everything it
// keeps or works through is bounded, whatever the server sends, and it never looks at a
// socket: it is fed bytes and told when the connection has ended. A reply that fails says why.
class HttpReply
{
public:
    using Reason = TransferError::Reason;

    static constexpr qsizetype MaxHeadSize =
        qsizetype(64) * 1024; // status line and header lines together
    static constexpr int MaxHeaderLines = 100;
    static constexpr qsizetype MaxBodySize = qsizetype(1024) * 1024;
    static constexpr int MaxInterimReplies = 5;     // 1xx replies skipped before the real one
    static constexpr qsizetype MaxChunkLine = 1024; // a chunk's size and its extensions

    enum class State {
        Reading,    // wants more bytes, or the connection's end
        Succeeded,  // a 2xx reply whose whole body is in body()
        Redirected, // a 301, 302, 303, 307 or 308 reply, its target in location()
        Failed,     // anything else, with its reason in error()
    };

    enum class Kind {
        Reply,  // a server's reply to a GET
        Tunnel, // an HTTP proxy's answer to CONNECT: a 2xx ends at its head, without a body
    };

    explicit HttpReply(Kind kind = Kind::Reply) : m_kind(kind) {}

    // Takes the next bytes of the connection. Bytes after the end of the reply are ignored.
    State feed(QByteArrayView bytes);
    // The connection has ended: completes a body that runs to the connection's end.
    State end();

    State state() const { return m_state; }
    // Why the reply failed; no reason while it hasn't.
    const TransferError &error() const { return m_error; }
    // The status of the final reply; 0 until its status line is in.
    int status() const { return m_status; }
    const QByteArray &body() const { return m_body; }
    const QByteArray &location() const { return m_location; }
    // The status line of the final reply, or of the 1xx reply being read; as the server sent it.
    const QByteArray &statusText() const { return m_statusLine; }

private:
    enum class Part {
        StatusLine,
        Headers,
        BodyByLength,
        BodyToEnd,
        ChunkSize,
        ChunkData,
        ChunkEnd,
        Trailers,
    };

    // Moves bytes up to the next line end into m_line; true once m_line holds a whole line,
    // without its end. Fails the reply when the line outgrows m_lineBudget.
    bool takeLine(QByteArrayView &bytes);
    // What each complete line means in the part it belongs to.
    void completeLine();
    void statusLine();
    void headerLine();
    void headEnd();
    void chunkSizeLine();
    void trailerLine();
    // Body bytes for the part that is reading them.
    void takeBody(QByteArrayView &bytes);
    void startHead();
    void fail(Reason reason, int status = 0, const QString &detail = QString());

    Kind m_kind = Kind::Reply;
    State m_state = State::Reading;
    TransferError m_error;
    Part m_part = Part::StatusLine;
    QByteArray m_line;                    // the line being read, without its end
    qsizetype m_lineBudget = MaxHeadSize; // bytes the lines of this head or chunk may still take
    int m_headerLines = 0;                // header (or trailer) lines so far
    int m_interimReplies = 0;
    int m_status = 0;
    QByteArray m_statusLine;
    qint64 m_contentLength = -1; // -1: none given; above MaxBodySize it stays MaxBodySize + 1
    bool m_transferEncoded = false;
    bool m_chunked = false;     // chunked is the last transfer coding
    QByteArray m_contentCoding; // other than identity; empty when there is none
    QByteArray m_location;
    qint64 m_left = 0; // bytes still to come of the current chunk, or of a body of known length
    QByteArray m_body;
};

} // namespace Transfer
