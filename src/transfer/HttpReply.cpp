// SPDX-License-Identifier: MIT
#include "HttpReply.h"

#include <QtGlobal>

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
                fail();
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
            fail();
    }
    return m_state;
}

bool HttpReply::takeLine(QByteArrayView &bytes)
{
    const qsizetype newline = bytes.indexOf('\n');
    const qsizetype taken = newline < 0 ? bytes.size() : newline + 1;
    if (taken > m_lineBudget) {
        fail();
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
            fail();
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
    // "HTTP/1.1 200 OK": a version, a status of three digits and a reason that may be empty.
    const QByteArrayView line(m_line);
    if (line.size() < 12 || !line.startsWith("HTTP/") || !isDigit(line[5]) || line[6] != '.' ||
        !isDigit(line[7]) || line[8] != ' ' || !isDigit(line[9]) || !isDigit(line[10]) ||
        !isDigit(line[11]) || (line.size() > 12 && line[12] != ' ')) {
        fail();
        return;
    }
    m_status = (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');
    m_part = Part::Headers;
}

void HttpReply::headerLine()
{
    const QByteArrayView line(m_line);
    const qsizetype colon = line.indexOf(':');
    // A line that starts with a space continues the one before, a form that is obsolete and
    // that would let a value hide from this reading.
    if (++m_headerLines > MaxHeaderLines || colon <= 0 || line.front() == ' ' ||
        line.front() == '\t') {
        fail();
        return;
    }
    const QByteArrayView name = line.first(colon);
    const QByteArrayView value = line.sliced(colon + 1).trimmed();
    if (name.compare("Content-Length", Qt::CaseInsensitive) == 0) {
        if (value.isEmpty()) {
            fail();
            return;
        }
        qint64 length = 0;
        for (const char c : value) {
            if (!isDigit(c)) {
                fail();
                return;
            }
            length = qMin(length * 10 + (c - '0'), MaxBodySize + 1);
        }
        // Two lengths that differ leave the body's end in doubt.
        if (m_contentLength >= 0 && m_contentLength != length) {
            fail();
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
    }
}

void HttpReply::headEnd()
{
    if (m_status >= 100 && m_status <= 199) {
        if (++m_interimReplies > MaxInterimReplies)
            fail();
        else
            startHead();
        return;
    }
    if (isRedirect(m_status)) {
        if (m_location.isEmpty())
            fail();
        else
            m_state = State::Redirected;
        return;
    }
    if (m_status < 200 || m_status > 299) {
        fail();
        return;
    }
    if (m_status == 204) {
        m_state = State::Succeeded;
    } else if (m_transferEncoded) {
        // A transfer coding wins over a length; one that isn't chunked runs to the end.
        m_part = m_chunked ? Part::ChunkSize : Part::BodyToEnd;
        m_lineBudget = MaxChunkLine;
    } else if (m_contentLength > MaxBodySize) {
        fail();
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
            fail();
            return;
        }
    }
    const QByteArrayView rest = line.sliced(digits).trimmed();
    if (digits == 0 || !(rest.isEmpty() || rest.front() == ';')) {
        fail();
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
        fail();
}

void HttpReply::takeBody(QByteArrayView &bytes)
{
    if (m_part == Part::BodyToEnd) {
        if (bytes.size() > MaxBodySize - m_body.size()) {
            fail();
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
    m_location.clear();
}

void HttpReply::fail()
{
    m_state = State::Failed;
    // What was read of a failed reply is of no use to anyone.
    m_body.clear();
    m_body.squeeze();
}

} // namespace Transfer
