// SPDX-License-Identifier: MIT
#include "HttpReply.h"

#include <QList>
#include <QtGlobal>

#include <algorithm>

namespace Transfer {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The 1xx replies that may come before the real one unasked: 101 and the rest answer a
// request that this client never makes.
bool isInterim(int status)
{
    return status == 100 || status == 102 || status == 103;
}

// Whether a list of content codings leaves the body as it is.
bool isIdentity(QByteArrayView codings)
{
    const QList<QByteArray> list = codings.toByteArray().split(',');
    return std::all_of(list.cbegin(), list.cend(), [](const QByteArray &coding) {
        const QByteArray name = coding.trimmed();
        return name.isEmpty() || name.compare("identity", Qt::CaseInsensitive) == 0;
    });
}

} // namespace

HttpReply::State HttpReply::feed(QByteArrayView bytes)
{
    while (m_state == State::Reading && !bytes.isEmpty()) {
        switch (m_part) {
        case Part::BodyByLength:
        case Part::BodyToEnd:
        case Part::ChunkData:
            takeBody(bytes);
            break;
        default:
            if (takeLine(bytes)) {
                completeLine();
                m_line.clear();
            } else if (m_part == Part::StatusLine &&
                       !QByteArrayView("HTTP/").startsWith(
                           QByteArrayView(m_line).first(qMin(m_line.size(), qsizetype(5))))) {
                // A reply without a status line is from before HTTP/1.0, or no HTTP at all:
                // there is no telling where it ends or whether it succeeded.
                fail(Reason::MalformedStatusLine);
            }
            break;
        }
    }
    return m_state;
}

HttpReply::State HttpReply::end()
{
    if (m_state == State::Reading) {
        if (m_part == Part::BodyToEnd)
            m_state = State::Succeeded;
        else
            fail(Reason::ConnectionClosed);
    }
    return m_state;
}

bool HttpReply::takeLine(QByteArrayView &bytes)
{
    const qsizetype newline = bytes.indexOf('\n');
    const qsizetype taken = newline < 0 ? bytes.size() : newline + 1;
    if (taken > m_lineBudget) {
        switch (m_part) {
        case Part::ChunkSize:
            fail(Reason::ChunkLineLimit);
            break;
        case Part::ChunkEnd:
            fail(Reason::MalformedChunk);
            break;
        default:
            fail(Reason::HeadLimit);
            break;
        }
        return false;
    }
    m_lineBudget -= taken;
    m_line.append(bytes.first(newline < 0 ? taken : newline));
    bytes = bytes.sliced(taken);
    if (newline < 0)
        return false;
    if (m_line.endsWith('\r'))
        m_line.chop(1);
    return true;
}

void HttpReply::completeLine()
{
    switch (m_part) {
    case Part::StatusLine:
        statusLine();
        break;
    case Part::Headers:
        if (m_line.isEmpty())
            headEnd();
        else
            headerLine();
        break;
    case Part::ChunkSize:
        chunkSizeLine();
        break;
    case Part::ChunkEnd:
        // The line end that closes a chunk's data, and nothing before it.
        if (!m_line.isEmpty()) {
            fail(Reason::MalformedChunk);
            break;
        }
        m_part = Part::ChunkSize;
        m_lineBudget = MaxChunkLine;
        break;
    case Part::Trailers:
        trailerLine();
        break;
    default:
        break;
    }
}

void HttpReply::statusLine()
{
    // "HTTP/1.1 200 OK": the version, a status of three digits and a reason that may be empty.
    // Another version has other rules for where a reply ends, or none that this reading knows.
    const QByteArrayView line(m_line);
    if (line.size() < 12 || !(line.startsWith("HTTP/1.0 ") || line.startsWith("HTTP/1.1 ")) ||
        !isDigit(line[9]) || !isDigit(line[10]) || !isDigit(line[11]) ||
        (line.size() > 12 && line[12] != ' ')) {
        fail(Reason::MalformedStatusLine);
        return;
    }
    m_status = (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');
    m_statusLine = m_line;
    m_part = Part::Headers;
}

void HttpReply::headerLine()
{
    if (++m_headerLines > MaxHeaderLines) {
        fail(Reason::HeaderLinesLimit);
        return;
    }
    const QByteArrayView line(m_line);
    const qsizetype colon = line.indexOf(':');
    const QByteArrayView name = line.first(qMax(colon, qsizetype(0)));
    // A line that starts with a space continues the one before, a form that is obsolete and
    // that would let a value hide from this reading; so would a name with white space before
    // its colon, which one reader takes as the name and another as a name of its own.
    if (colon <= 0 || name.contains(' ') || name.contains('\t')) {
        fail(Reason::MalformedHeader);
        return;
    }
    const QByteArrayView value = line.sliced(colon + 1).trimmed();
    if (name.compare("Content-Length", Qt::CaseInsensitive) == 0) {
        if (value.isEmpty()) {
            fail(Reason::BadLength);
            return;
        }
        qint64 length = 0;
        for (const char c : value) {
            if (!isDigit(c)) {
                fail(Reason::BadLength);
                return;
            }
            length = qMin(length * 10 + (c - '0'), MaxBodySize + 1);
        }
        // Two lengths that differ leave the body's end in doubt.
        if (m_contentLength >= 0 && m_contentLength != length) {
            fail(Reason::BadLength);
            return;
        }
        m_contentLength = length;
    } else if (name.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0) {
        m_transferEncoded = true;
        m_chunked = value.sliced(value.lastIndexOf(',') + 1)
                        .trimmed()
                        .compare("chunked", Qt::CaseInsensitive) == 0;
    } else if (name.compare("Location", Qt::CaseInsensitive) == 0) {
        m_location = value.toByteArray();
    } else if (name.compare("Content-Encoding", Qt::CaseInsensitive) == 0 && !isIdentity(value)) {
        // The request asks for identity; a coded body would be taken for text.
        m_contentCoding = value.toByteArray();
    }
}

void HttpReply::headEnd()
{
    if (isInterim(m_status)) {
        if (++m_interimReplies > MaxInterimReplies)
            fail(Reason::InterimLimit);
        else
            startHead();
        return;
    }
    const bool success = m_status >= 200 && m_status <= 299;
    if (m_kind == Kind::Tunnel) {
        // The tunnel is open after the blank line; what follows belongs to the connection.
        if (success)
            m_state = State::Succeeded;
        else
            fail(Reason::ProxyStatus, m_status);
        return;
    }
    if (isRedirect(m_status)) {
        if (m_location.isEmpty())
            fail(Reason::RedirectRefused, m_status, QStringLiteral("no Location"));
        else
            m_state = State::Redirected;
        return;
    }
    if (!success) {
        fail(Reason::HttpStatus, m_status);
        return;
    }
    if (!m_contentCoding.isEmpty()) {
        fail(Reason::ContentCoding, 0, QString::fromUtf8(m_contentCoding));
        return;
    }
    if (m_status == 204) {
        m_state = State::Succeeded;
    } else if (m_transferEncoded) {
        // A transfer coding wins over a length; one that isn't chunked runs to the end.
        m_part = m_chunked ? Part::ChunkSize : Part::BodyToEnd;
        m_lineBudget = MaxChunkLine;
    } else if (m_contentLength > MaxBodySize) {
        fail(Reason::BodyLimit);
    } else if (m_contentLength >= 0) {
        m_left = m_contentLength;
        m_body.reserve(m_contentLength);
        m_part = Part::BodyByLength;
        if (m_left == 0)
            m_state = State::Succeeded;
    } else {
        m_part = Part::BodyToEnd;
    }
}

void HttpReply::chunkSizeLine()
{
    // Hex digits, then perhaps extensions after a ';'. A size that would take the body past
    // its limit fails as soon as its digits say so, before it can overflow.
    const QByteArrayView line(m_line);
    qint64 size = 0;
    qsizetype digits = 0;
    for (; digits < line.size() && hexValue(line[digits]) >= 0; ++digits) {
        size = size * 16 + hexValue(line[digits]);
        if (size > MaxBodySize - m_body.size()) {
            fail(Reason::BodyLimit);
            return;
        }
    }
    const QByteArrayView rest = line.sliced(digits).trimmed();
    if (digits == 0 || !(rest.isEmpty() || rest.front() == ';')) {
        fail(Reason::MalformedChunk);
        return;
    }
    if (size == 0) {
        m_part = Part::Trailers;
        m_lineBudget = MaxHeadSize;
        m_headerLines = 0;
        return;
    }
    m_left = size;
    m_part = Part::ChunkData;
}

void HttpReply::trailerLine()
{
    if (m_line.isEmpty())
        m_state = State::Succeeded;
    else if (++m_headerLines > MaxHeaderLines)
        fail(Reason::HeaderLinesLimit);
}

void HttpReply::takeBody(QByteArrayView &bytes)
{
    if (m_part == Part::BodyToEnd) {
        if (bytes.size() > MaxBodySize - m_body.size()) {
            fail(Reason::BodyLimit);
            return;
        }
        m_body.append(bytes);
        bytes = {};
        return;
    }
    const qsizetype taken = qsizetype(qMin(qint64(bytes.size()), m_left));
    m_body.append(bytes.first(taken));
    bytes = bytes.sliced(taken);
    m_left -= taken;
    if (m_left > 0)
        return;
    if (m_part == Part::BodyByLength) {
        m_state = State::Succeeded;
    } else {
        m_part = Part::ChunkEnd;
        m_lineBudget = 2;
    }
}

void HttpReply::startHead()
{
    m_part = Part::StatusLine;
    m_lineBudget = MaxHeadSize;
    m_headerLines = 0;
    m_status = 0;
    m_contentLength = -1;
    m_transferEncoded = false;
    m_chunked = false;
    m_contentCoding.clear();
    m_location.clear();
}

void HttpReply::fail(Reason reason, int status, const QString &detail)
{
    m_state = State::Failed;
    m_error = {reason, status, detail};
    // What was read of a failed reply is of no use to anyone.
    m_body.clear();
    m_body.squeeze();
}

} // namespace Transfer
