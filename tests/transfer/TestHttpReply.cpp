// SPDX-License-Identifier: MIT
#include "transfer/HttpReply.h"

#include <QTest>

using Transfer::HttpReply;
using Reason = HttpReply::Reason;
using State = HttpReply::State;

namespace {

// Reads bytes as they might arrive, slice bytes at a time.
HttpReply parse(HttpReply::Kind kind, const QByteArray &bytes, qsizetype slice, bool ended)
{
    HttpReply reply(kind);
    for (qsizetype at = 0; at < bytes.size(); at += slice)
        reply.feed(QByteArrayView(bytes).sliced(at, qMin(slice, bytes.size() - at)));
    if (ended)
        reply.end();
    return reply;
}

} // namespace

// How the reply's bytes are read: where the body starts and ends, which replies succeed, where
// the limits lie and why a reply fails; and a proxy's answer to CONNECT. The hostile server
// tests take the same reading end to end.
class TestHttpReply : public QObject
{
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
    void tunnel_data();
    void tunnel();
};

// clang-format off
void TestHttpReply::reading_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ended"); // the connection ended after them
    QTest::addColumn<State>("state");
    QTest::addColumn<QByteArray>("result"); // the body, or where a redirect leads
    QTest::addColumn<Reason>("reason");     // why it failed

    const QByteArray ok = "HTTP/1.1 200 OK\r\n";
    const QByteArray chunked = ok + "Transfer-Encoding: chunked\r\n\r\n";
    const QByteArray interim = "HTTP/1.1 100 Continue\r\n\r\n";
    const QByteArray header = "X: 1\r\n";
    const QByteArray none;
    // A head of exactly the limit: the status line, one long header line and the blank line.
    QByteArray fullHead = ok + "X: " + QByteArray(HttpReply::MaxHeadSize - 24, 'x') + "\r\n\r\n";

    QTest::newRow("by length, the rest ignored") << ok + "Content-Length: 2\r\n\r\nabcd" << false << State::Succeeded << QByteArray("ab") << Reason::None;
    QTest::newRow("by length, cut short") << ok + "Content-Length: 5\r\n\r\nabc" << true << State::Failed << none << Reason::ConnectionClosed;
    QTest::newRow("to the end") << ok + "\r\nabc" << true << State::Succeeded << QByteArray("abc") << Reason::None;
    QTest::newRow("to the end, still open") << ok + "\r\nabc" << false << State::Reading << QByteArray("abc") << Reason::None;
    QTest::newRow("chunked, extension and trailer")
        << chunked + "3;x=y\r\nabc\r\n2\r\nde\r\n0\r\nX-T: 1\r\n\r\n" << false << State::Succeeded << QByteArray("abcde") << Reason::None;
    QTest::newRow("chunked over a length")
        << ok + "Content-Length: 1\r\nTransfer-Encoding: gzip, chunked\r\n\r\n2\r\nab\r\n0\r\n\r\n" << false
        << State::Succeeded << QByteArray("ab") << Reason::None;
    QTest::newRow("another coding to the end") << ok + "Transfer-Encoding: gzip\r\n\r\nab" << true << State::Succeeded << QByteArray("ab") << Reason::None;
    QTest::newRow("chunked, cut short") << chunked + "3\r\nabc\r\n" << true << State::Failed << none << Reason::ConnectionClosed;
    QTest::newRow("chunk longer than its size") << chunked + "2\r\nabc\r\n0\r\n\r\n" << false << State::Failed << none << Reason::MalformedChunk;
    QTest::newRow("negative chunk size") << chunked + "-1\r\nabc\r\n0\r\n\r\n" << false << State::Failed << none << Reason::MalformedChunk;
    QTest::newRow("chunk size line of 1 KiB and a byte")
        << chunked + "1;" + QByteArray(1024, 'x') + "\r\n" << false << State::Failed << none << Reason::ChunkLineLimit;
    QTest::newRow("chunk past the body's limit") << chunked + "100001\r\n" << false << State::Failed << none << Reason::BodyLimit;
    QTest::newRow("line feeds alone") << QByteArray("HTTP/1.0 200 OK\nContent-Length: 1\n\nx") << false << State::Succeeded << QByteArray("x") << Reason::None;
    QTest::newRow("no reason") << QByteArray("HTTP/1.1 200\r\nContent-Length: 0\r\n\r\n") << false << State::Succeeded << none << Reason::None;
    QTest::newRow("204, no body") << QByteArray("HTTP/1.1 204 No Content\r\n\r\n") << false << State::Succeeded << none << Reason::None;
    QTest::newRow("five interim replies") << interim.repeated(5) + ok + "Content-Length: 1\r\n\r\nx" << false << State::Succeeded << QByteArray("x") << Reason::None;
    QTest::newRow("102 and 103 are interim")
        << "HTTP/1.1 102 Processing\r\n\r\nHTTP/1.1 103 Early Hints\r\nLink: </a>\r\n\r\n" + ok + "Content-Length: 1\r\n\r\nx"
        << false << State::Succeeded << QByteArray("x") << Reason::None;
    QTest::newRow("six interim replies") << interim.repeated(6) + ok + "Content-Length: 1\r\n\r\nx" << false << State::Failed << none << Reason::InterimLimit;
    QTest::newRow("101 unasked") << "HTTP/1.1 101 Switching Protocols\r\nUpgrade: h2c\r\n\r\n" + ok + "Content-Length: 1\r\n\r\nx"
                                 << false << State::Failed << none << Reason::HttpStatus;
    QTest::newRow("redirect") << QByteArray("HTTP/1.1 307 Moved\r\nLocation: /there\r\n\r\n") << false << State::Redirected << QByteArray("/there") << Reason::None;
    QTest::newRow("redirect to nowhere") << QByteArray("HTTP/1.1 301 Moved\r\n\r\n") << true << State::Failed << none << Reason::RedirectRefused;
    QTest::newRow("304 is no redirect") << QByteArray("HTTP/1.1 304 Not Modified\r\nLocation: /x\r\n\r\n") << false << State::Failed << none << Reason::HttpStatus;
    QTest::newRow("404 with a body") << QByteArray("HTTP/1.1 404 Not Found\r\nContent-Length: 1\r\n\r\nx") << false << State::Failed << none << Reason::HttpStatus;
    QTest::newRow("no status line") << QByteArray("<html>") << false << State::Failed << none << Reason::MalformedStatusLine;
    QTest::newRow("status of four digits") << QByteArray("HTTP/1.1 2000 OK\r\n\r\n") << true << State::Failed << none << Reason::MalformedStatusLine;
    QTest::newRow("HTTP/9.9") << QByteArray("HTTP/9.9 200 OK\r\nContent-Length: 1\r\n\r\nx") << false << State::Failed << none << Reason::MalformedStatusLine;
    QTest::newRow("HTTP/2") << QByteArray("HTTP/2 200\r\nContent-Length: 1\r\n\r\nx") << false << State::Failed << none << Reason::MalformedStatusLine;
    QTest::newRow("gzip") << ok + "Content-Encoding: gzip\r\nContent-Length: 1\r\n\r\nx" << false << State::Failed << none << Reason::ContentCoding;
    QTest::newRow("identity") << ok + "Content-Encoding: Identity\r\nContent-Length: 1\r\n\r\nx" << false << State::Succeeded << QByteArray("x") << Reason::None;
    QTest::newRow("404 in gzip is a 404") << QByteArray("HTTP/1.1 404 Not Found\r\nContent-Encoding: gzip\r\n\r\n") << true << State::Failed << none << Reason::HttpStatus;
    QTest::newRow("two lengths") << ok + "Content-Length: 1\r\nContent-Length: 2\r\n\r\nab" << false << State::Failed << none << Reason::BadLength;
    QTest::newRow("length with a sign") << ok + "Content-Length: +1\r\n\r\na" << false << State::Failed << none << Reason::BadLength;
    QTest::newRow("length past the body's limit") << ok + "Content-Length: 1048577\r\n\r\n" << false << State::Failed << none << Reason::BodyLimit;
    QTest::newRow("space before the colon") << ok + "Content-Length : 5\r\n\r\nab" << true << State::Failed << none << Reason::MalformedHeader;
    QTest::newRow("folded header") << ok + "Content-Length: 1\r\n 2\r\n\r\nab" << false << State::Failed << none << Reason::MalformedHeader;
    QTest::newRow("header without colon") << ok + "Oops\r\n\r\n" << true << State::Failed << none << Reason::MalformedHeader;
    QTest::newRow("100 header lines") << ok + header.repeated(99) + "Content-Length: 0\r\n\r\n" << false << State::Succeeded << none << Reason::None;
    QTest::newRow("101 header lines") << ok + header.repeated(100) + "Content-Length: 0\r\n\r\n" << false << State::Failed << none << Reason::HeaderLinesLimit;
    QTest::newRow("head of 64 KiB") << fullHead << true << State::Succeeded << none << Reason::None;
    QTest::newRow("head of 64 KiB and a byte") << fullHead.insert(20, 'x') << true << State::Failed << none << Reason::HeadLimit;
}
// clang-format on

void TestHttpReply::reading()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ended);
    QFETCH(State, state);
    QFETCH(QByteArray, result);
    QFETCH(Reason, reason);

    // However the bytes are cut up on their way, the reading is the same.
    for (const qsizetype slice : {bytes.size(), qsizetype(1), qsizetype(7)}) {
        const HttpReply reply = parse(HttpReply::Kind::Reply, bytes, slice, ended);
        QCOMPARE(int(reply.state()), int(state));
        QCOMPARE(state == State::Redirected ? reply.location() : reply.body(), result);
        QCOMPARE(int(reply.error().reason), int(reason));
    }
}

// clang-format off
void TestHttpReply::tunnel_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<State>("state");
    QTest::addColumn<Reason>("reason");
    QTest::addColumn<int>("status");

    QTest::newRow("open, and the tunnel's first bytes after it")
        << QByteArray("HTTP/1.1 200 Connection established\r\nContent-Length: 9\r\n\r\n\x16\x03\x01") << State::Succeeded << Reason::None << 200;
    QTest::newRow("authentication asked for")
        << QByteArray("HTTP/1.1 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic\r\n\r\n") << State::Failed << Reason::ProxyStatus << 407;
    QTest::newRow("a redirect is a refusal")
        << QByteArray("HTTP/1.1 302 Found\r\nLocation: /x\r\n\r\n") << State::Failed << Reason::ProxyStatus << 302;
    QTest::newRow("endless head") << "HTTP/1.1 200 OK\r\n" + QByteArray("X: 1\r\n").repeated(200) << State::Failed << Reason::HeaderLinesLimit << 200;
}
// clang-format on

void TestHttpReply::tunnel()
{
    QFETCH(QByteArray, bytes);
    QFETCH(State, state);
    QFETCH(Reason, reason);

    for (const qsizetype slice : {bytes.size(), qsizetype(1)}) {
        const HttpReply reply = parse(HttpReply::Kind::Tunnel, bytes, slice, false);
        QCOMPARE(int(reply.state()), int(state));
        QCOMPARE(int(reply.error().reason), int(reason));
        QTEST(reply.status(), "status");
        QVERIFY(reply.body().isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestHttpReply)
#include "TestHttpReply.moc"
