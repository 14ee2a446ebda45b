// SPDX-License-Identifier: MIT
#include "transfer/HttpReply.h"

#include <QTest>

using Transfer::HttpReply;
using State = HttpReply::State;

namespace {

// Reads bytes as they might arrive, slice bytes at a time.
HttpReply parse(const QByteArray &bytes, qsizetype slice, bool ended)
{
    HttpReply reply;
    for (qsizetype at = 0; at < bytes.size(); at += slice)
        reply.feed(QByteArrayView(bytes).sliced(at, qMin(slice, bytes.size() - at)));
    if (ended)
        reply.end();
    return reply;
}

} // namespace

// How the reply's bytes are read: where the body starts and ends, which replies succeed and
// where the limits lie. The hostile server tests take the same reading end to end.
class TestHttpReply : public QObject
{
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
};

// clang-format off
void TestHttpReply::reading_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("ended"); // the connection ended after them
    QTest::addColumn<State>("state");
    QTest::addColumn<QByteArray>("result"); // the body, or where a redirect leads

    const QByteArray ok = "HTTP/1.1 200 OK\r\n";
    const QByteArray chunked = ok + "Transfer-Encoding: chunked\r\n\r\n";
    const QByteArray interim = "HTTP/1.1 100 Continue\r\n\r\n";
    const QByteArray header = "X: 1\r\n";
    // A head of exactly the limit: the status line, one long header line and the blank line.
    QByteArray fullHead = ok + "X: " + QByteArray(HttpReply::MaxHeadSize - 24, 'x') + "\r\n\r\n";

    QTest::newRow("by length, the rest ignored") << ok + "Content-Length: 2\r\n\r\nabcd" << false << State::Succeeded << QByteArray("ab");
    QTest::newRow("by length, cut short") << ok + "Content-Length: 5\r\n\r\nabc" << true << State::Failed << QByteArray();
    QTest::newRow("to the end") << ok + "\r\nabc" << true << State::Succeeded << QByteArray("abc");
    QTest::newRow("to the end, still open") << ok + "\r\nabc" << false << State::Reading << QByteArray("abc");
    QTest::newRow("chunked, extension and trailer")
        << chunked + "3;x=y\r\nabc\r\n2\r\nde\r\n0\r\nX-T: 1\r\n\r\n" << false << State::Succeeded << QByteArray("abcde");
    QTest::newRow("chunked over a length")
        << ok + "Content-Length: 1\r\nTransfer-Encoding: gzip, chunked\r\n\r\n2\r\nab\r\n0\r\n\r\n" << false
        << State::Succeeded << QByteArray("ab");
    QTest::newRow("another coding to the end") << ok + "Transfer-Encoding: gzip\r\n\r\nab" << true << State::Succeeded << QByteArray("ab");
    QTest::newRow("chunked, cut short") << chunked + "3\r\nabc\r\n" << true << State::Failed << QByteArray();
    QTest::newRow("chunk longer than its size") << chunked + "2\r\nabc\r\n0\r\n\r\n" << false << State::Failed << QByteArray();
    QTest::newRow("line feeds alone") << QByteArray("HTTP/1.0 200 OK\nContent-Length: 1\n\nx") << false << State::Succeeded << QByteArray("x");
    QTest::newRow("no reason") << QByteArray("HTTP/1.1 200\r\nContent-Length: 0\r\n\r\n") << false << State::Succeeded << QByteArray();
    QTest::newRow("204, no body") << QByteArray("HTTP/1.1 204 No Content\r\n\r\n") << false << State::Succeeded << QByteArray();
    QTest::newRow("five interim replies") << interim.repeated(5) + ok + "Content-Length: 1\r\n\r\nx" << false << State::Succeeded << QByteArray("x");
    QTest::newRow("six interim replies") << interim.repeated(6) + ok + "Content-Length: 1\r\n\r\nx" << false << State::Failed << QByteArray();
    QTest::newRow("redirect") << QByteArray("HTTP/1.1 307 Moved\r\nLocation: /there\r\n\r\n") << false << State::Redirected << QByteArray("/there");
    QTest::newRow("redirect to nowhere") << QByteArray("HTTP/1.1 301 Moved\r\n\r\n") << true << State::Failed << QByteArray();
    QTest::newRow("304 is no redirect") << QByteArray("HTTP/1.1 304 Not Modified\r\nLocation: /x\r\n\r\n") << false << State::Failed << QByteArray();
    QTest::newRow("404 with a body") << QByteArray("HTTP/1.1 404 Not Found\r\nContent-Length: 1\r\n\r\nx") << false << State::Failed << QByteArray();
    QTest::newRow("no status line") << QByteArray("<html>") << false << State::Failed << QByteArray();
    QTest::newRow("status of four digits") << QByteArray("HTTP/1.1 2000 OK\r\n\r\n") << true << State::Failed << QByteArray();
    QTest::newRow("two lengths") << ok + "Content-Length: 1\r\nContent-Length: 2\r\n\r\nab" << false << State::Failed << QByteArray();
    QTest::newRow("length with a sign") << ok + "Content-Length: +1\r\n\r\na" << false << State::Failed << QByteArray();
    QTest::newRow("folded header") << ok + "Content-Length: 1\r\n 2\r\n\r\nab" << false << State::Failed << QByteArray();
    QTest::newRow("header without colon") << ok + "Oops\r\n\r\n" << true << State::Failed << QByteArray();
    QTest::newRow("100 header lines") << ok + header.repeated(99) + "Content-Length: 0\r\n\r\n" << false << State::Succeeded << QByteArray();
    QTest::newRow("101 header lines") << ok + header.repeated(100) + "Content-Length: 0\r\n\r\n" << false << State::Failed << QByteArray();
    QTest::newRow("head of 64 KiB") << fullHead << true << State::Succeeded << QByteArray();
    QTest::newRow("head of 64 KiB and a byte") << fullHead.insert(20, 'x') << true << State::Failed << QByteArray();
}
// clang-format on

void TestHttpReply::reading()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, ended);
    QFETCH(State, state);
    QFETCH(QByteArray, result);

    // However the bytes are cut up on their way, the reading is the same.
    for (const qsizetype slice : {bytes.size(), qsizetype(1), qsizetype(7)}) {
        const HttpReply reply = parse(bytes, slice, ended);
        QCOMPARE(int(reply.state()), int(state));
        QCOMPARE(state == State::Redirected ? reply.location() : reply.body(), result);
    }
}

QTEST_GUILESS_MAIN(TestHttpReply)
#include "TestHttpReply.moc"
