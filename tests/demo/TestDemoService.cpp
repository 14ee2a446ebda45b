// SPDX-License-Identifier: MIT
#include "DemoService.h"

#include "text/CounterText.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

#include <memory>
#include <optional>

Q_DECLARE_METATYPE(std::optional<Counts>)

// The demo service as the program meets it: each sample account read the way the lookup reads
// it, over a real connection.
class TestDemoService : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void samplesShowEveryOutcome_data();
    void samplesShowEveryOutcome();
    void oneConnectionCarriesManyLookups();
    void otherRequestsAreRefused_data();
    void otherRequestsAreRefused();

private:
    // The raw answer to request, up to the end of the body or of the connection.
    QByteArray exchange(const QByteArray &request);

    std::unique_ptr<DemoService> m_service;
};

void TestDemoService::init()
{
    m_service = std::make_unique<DemoService>();
    QVERIFY2(m_service->listen(0), qPrintable(m_service->errorString()));
}

QByteArray TestDemoService::exchange(const QByteArray &request)
{
    // The service runs on this thread's event loop, so the client mustn't block it.
    QTcpSocket socket;
    QByteArray answer;
    connect(&socket, &QTcpSocket::connected, this, [&] { socket.write(request); });
    connect(&socket, &QTcpSocket::readyRead, this, [&] { answer += socket.readAll(); });
    socket.connectToHost(QHostAddress::LocalHost, m_service->port());
    QDeadlineTimer deadline(5000);
    while (socket.state() != QAbstractSocket::UnconnectedState && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return answer;
}

void TestDemoService::samplesShowEveryOutcome_data()
{
    QTest::addColumn<QString>("account");
    QTest::addColumn<std::optional<Counts>>("counts");
    QTest::addColumn<QString>("total"); // as the program shows it
    QTest::addColumn<Verdict>("verdict");

    QTest::newRow("quiet") << "10001" << std::optional(Counts{"12345", "56"}) << "1万2345"
                           << Verdict::None;
    QTest::newRow("busy today") << "10002" << std::optional(Counts{"98765", "321"}) << "9万8765"
                                << Verdict::BothHigh;
    QTest::newRow("busy in total")
        << "10003" << std::optional(Counts{"2345678", "89"}) << "234万5678" << Verdict::TotalHigh;
    QTest::newRow("亿") << "10004" << std::optional(Counts{"123456789", "12345"}) << "1亿2345万6789"
                        << Verdict::BothHigh;
    QTest::newRow("closed") << "10005" << std::optional<Counts>() << QString() << Verdict::None;
    QTest::newRow("unknown") << "42" << std::optional<Counts>() << QString() << Verdict::None;
}

void TestDemoService::samplesShowEveryOutcome()
{
    QFETCH(QString, account);
    QFETCH(std::optional<Counts>, counts);

    QNetworkAccessManager network;
    const QUrl url(QStringLiteral("http://127.0.0.1:%1/fcg-bin/cgi_emotion_list.fcg?uin=%2")
                       .arg(m_service->port())
                       .arg(account));
    std::unique_ptr<QNetworkReply> reply(network.get(QNetworkRequest(url)));
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    QVERIFY(finished.wait(5000));
    QCOMPARE(reply->error(), QNetworkReply::NoError);

    const std::optional<Counts> read = readCounts(QString::fromUtf8(reply->readAll()));
    QCOMPARE(read.has_value(), counts.has_value());
    if (!counts)
        return;
    QCOMPARE(read->total, counts->total);
    QCOMPARE(read->today, counts->today);
    QString total = read->total;
    QTEST(ConvNum(total), "total");
    QTEST(judge(*read), "verdict");
}

void TestDemoService::oneConnectionCarriesManyLookups()
{
    const QByteArray request = "GET /fcg-bin/cgi_emotion_list.fcg?uin=10001 HTTP/1.1\r\n"
                               "Host: 127.0.0.1\r\n\r\n";
    const QByteArray last = "GET /fcg-bin/cgi_emotion_list.fcg?uin=10002 HTTP/1.1\r\n"
                            "Host: 127.0.0.1\r\nConnection: close\r\n\r\n";
    // Sent together, so that the second and third arrive before the first is answered.
    const QByteArray answer = exchange(request + request + last);
    QCOMPARE(answer.count("HTTP/1.1 200 OK"), 3);
    QCOMPARE(answer.count(DemoService::replyFor(QStringLiteral("10001"))), 2);
    QVERIFY(answer.endsWith(DemoService::replyFor(QStringLiteral("10002"))));
}

void TestDemoService::otherRequestsAreRefused_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("statusLine");

    QTest::newRow("other path") << QByteArray("GET /index.html HTTP/1.0\r\n\r\n")
                                << QByteArray("HTTP/1.1 404 Not Found");
    QTest::newRow("POST") << QByteArray("POST /fcg-bin/cgi_emotion_list.fcg?uin=10001 HTTP/1.1\r\n"
                                        "Content-Length: 3\r\n\r\nabc")
                          << QByteArray("HTTP/1.1 405 Method Not Allowed");
    QTest::newRow("not HTTP") << QByteArray("hello\r\n\r\n")
                              << QByteArray("HTTP/1.1 400 Bad Request");
    QTest::newRow("endless head") << QByteArray(17 * 1024, 'x')
                                  << QByteArray("HTTP/1.1 431 Request Header Fields Too Large");
}

void TestDemoService::otherRequestsAreRefused()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, statusLine);
    // Each of these ends the connection (HTTP/1.0 by default, the others as refused), so the
    // exchange ends by itself.
    const QByteArray answer = exchange(request);
    QCOMPARE(answer.left(answer.indexOf("\r\n")), statusLine);
    QVERIFY(answer.contains("Connection: close"));
}

QTEST_GUILESS_MAIN(TestDemoService)
#include "TestDemoService.moc"
