// SPDX-License-Identifier: MIT
#include "support/Fixtures.h"
#include "support/StandInService.h"
#include "support/System.h"

#include "transfer/HttpGet.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

using Transfer::HttpGet;
using Reason = HttpGet::Reason;
using namespace std::chrono_literals;

namespace {

// Sets a variable of the process's environment, which the client reads at each transfer, for
// as long as it lives; an empty value sets nothing.
class Variable
{
public:
    Variable(const char *name, const QByteArray &value) : m_name(value.isEmpty() ? nullptr : name)
    {
        if (m_name)
            qputenv(m_name, value);
    }
    ~Variable()
    {
        if (m_name)
            qunsetenv(m_name);
    }
    Variable(const Variable &) = delete;
    Variable &operator=(const Variable &) = delete;

private:
    const char *m_name;
};

// The lines that the transfer logs while one lives, with its log turned on.
class TransferLog
{
public:
    TransferLog()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("vistameter.transfer.info=true"));
        s_lines = &lines;
        s_previous = qInstallMessageHandler(take);
    }
    ~TransferLog()
    {
        qInstallMessageHandler(s_previous);
        s_lines = nullptr;
        QLoggingCategory::setFilterRules(QString());
    }
    TransferLog(const TransferLog &) = delete;
    TransferLog &operator=(const TransferLog &) = delete;

    QStringList lines;

private:
    static void take(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (qstrcmp(context.category, "vistameter.transfer") == 0)
            s_lines->append(message);
        else
            s_previous(type, context, message);
    }

    static inline QStringList *s_lines = nullptr;
    static inline QtMessageHandler s_previous = nullptr;
};

HttpGet::Result fetch(const QByteArray &url, std::chrono::milliseconds deadline = 2s)
{
    return HttpGet::fetch(QUrl(QString::fromLatin1(url)), deadline);
}

} // namespace

// The HTTP client against a stand-in server and a stand-in proxy on loopback: what it sends,
// what it takes, and why it ends.
class TestHttpGet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void sendsAPlainGet_data();
    void sendsAPlainGet();
    void unusableProxySendsNothing_data();
    void unusableProxySendsNothing();
    void httpsThroughAProxy_data();
    void httpsThroughAProxy();
    void deadlineCoversTheWholeTransfer();
    void endsWhenTheApplicationQuits();
    void followsRedirects_data();
    void followsRedirects();
    void followsAtMostFiveRedirects();
    void logSaysWhoAnsweredEachHop_data();
    void logSaysWhoAnsweredEachHop();
    void logWritesOutWhatAServerSends_data();
    void logWritesOutWhatAServerSends();
};

void TestHttpGet::initTestCase()
{
    StandInService::trustTestAuthority();
}

// clang-format off
void TestHttpGet::sendsAPlainGet_data()
{
    QTest::addColumn<QByteArray>("proxy"); // http_proxy; "stand-in" stands for the stand-in's address
    QTest::addColumn<QByteArray>("host");  // asked for; empty: the stand-in
    QTest::addColumn<QByteArray>("requestLine");
    QTest::addColumn<QByteArray>("authorization"); // the Proxy-Authorization line, if any

    const QByteArray none;
    const QByteArray path = "/a/b?c=d%26e";
    const QByteArray invalid = "vistameter.invalid";
    QTest::newRow("to the server") << none << none << "GET " + path + " HTTP/1.0" << none;
    // As browsers send it to an HTTP proxy; the name is the proxy's to look up.
    QTest::newRow("to a proxy") << QByteArray("http://stand-in") << invalid
                                << "GET http://" + invalid + path + " HTTP/1.0" << none;
    QTest::newRow("to a proxy named without a scheme") << QByteArray("stand-in") << invalid
                                                        << "GET http://" + invalid + path + " HTTP/1.0" << none;
    QTest::newRow("to a proxy with credentials") << QByteArray("u:p%40q@stand-in") << invalid
                                                 << "GET http://" + invalid + path + " HTTP/1.0"
                                                 << QByteArray("Proxy-Authorization: Basic dTpwQHE=");
    QTest::newRow("loopback, past the proxy") << QByteArray("http://127.0.0.1:9") << none
                                              << "GET " + path + " HTTP/1.0" << none;
}
// clang-format on

void TestHttpGet::sendsAPlainGet()
{
    QFETCH(QByteArray, proxy);
    QFETCH(QByteArray, host);
    QFETCH(QByteArray, requestLine);
    QFETCH(QByteArray, authorization);
    StandInService service;
    service.answer("ok");
    const QByteArray serviceHost = service.host().toLatin1();
    const Variable httpProxy("http_proxy", proxy.replace("stand-in", serviceHost));
    if (host.isEmpty())
        host = serviceHost;

    const HttpGet::Result result = fetch("http://" + host + "/a/b?c=d%26e#part");
    QCOMPARE(int(result.error.reason), int(Reason::None));
    QCOMPARE(result.body, QByteArray("ok"));
    const QList<QByteArray> lines = service.requests.value(0).split('\n');
    QCOMPARE(lines.value(0), requestLine + '\r');
    QCOMPARE(lines.mid(1, 3),
             (QList<QByteArray>{"Host: " + host + '\r', "Accept-Encoding: identity\r",
                                "Connection: close\r"}));
    QVERIFY2(QRegularExpression(QStringLiteral("^User-Agent: Vistameter/\\d+\\.\\d+\\.\\d+\r$"))
                 .match(QString::fromLatin1(lines.value(4)))
                 .hasMatch(),
             lines.value(4).constData());
    QList<QByteArray> end{"\r", ""};
    if (!authorization.isEmpty())
        end.prepend(authorization + '\r');
    QCOMPARE(lines.mid(5), end);
}

// clang-format off
void TestHttpGet::unusableProxySendsNothing_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::addColumn<QByteArray>("proxy"); // "stand-in" stands for the stand-in's address
    QTest::addColumn<QByteArray>("url");

    const QByteArray http = "http://vistameter.invalid/";
    QTest::newRow("https://") << QByteArray("http_proxy") << QByteArray("https://stand-in") << http;
    QTest::newRow("socks4://") << QByteArray("ALL_PROXY") << QByteArray("socks4://stand-in") << http;
    QTest::newRow("no host") << QByteArray("https_proxy") << QByteArray("http://:1") << QByteArray("https://vistameter.test/");
}
// clang-format on

void TestHttpGet::unusableProxySendsNothing()
{
    QFETCH(QByteArray, variable);
    QFETCH(QByteArray, proxy);
    QFETCH(QByteArray, url);
    StandInService stand;
    stand.answer("ok");
    const Variable named(variable.constData(), proxy.replace("stand-in", stand.host().toLatin1()));

    // Direct, the name would not be found; through the proxy, the stand-in would answer.
    const HttpGet::Result result = fetch(url);
    QCOMPARE(int(result.error.reason), int(Reason::ProxyUnusable));
    QVERIFY2(result.error.detail.startsWith(QLatin1String(variable)),
             qPrintable(result.error.detail));
    QVERIFY(stand.requests.isEmpty());
}

// clang-format off
void TestHttpGet::httpsThroughAProxy_data()
{
    QTest::addColumn<Reply>("answer"); // the proxy's, to CONNECT
    QTest::addColumn<bool>("trusted"); // the server's certificate
    QTest::addColumn<Reason>("reason");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");

    const QByteArray none;
    const Reply open = Reply::openTunnel();
    QTest::newRow("tunnel") << open << true << Reason::None << 0 << QByteArray("here");
    QTest::newRow("tunnel to an untrusted server") << open << false << Reason::Tls << 0 << none;
    QTest::newRow("407") << Reply::closeAfter(statusHead(407, "Proxy-Authenticate: Basic realm=\"x\"\r\n")) << true << Reason::ProxyStatus << 407 << none;
    QTest::newRow("403, then holds on") << Reply::holdAfter(statusHead(403)) << true << Reason::ProxyStatus << 403 << none;
    QTest::newRow("closes at once") << Reply::closeAtOnce() << true << Reason::ConnectionClosed << 0 << none;
    // Floods, that the answer's limits end as they end a reply's head.
    QTest::newRow("endless answer head")
        << Reply::endless("HTTP/1.1 200 OK\r\n", QByteArray("X-Flood: 7\r\n").repeated(1000)) << true << Reason::HeaderLinesLimit << 0 << none;
    QTest::newRow("endless header line")
        << Reply::endless("HTTP/1.1 200 OK\r\nX-Flood: ", QByteArray(64 * 1024, '7')) << true << Reason::HeadLimit << 0 << none;
}
// clang-format on

void TestHttpGet::httpsThroughAProxy()
{
    QFETCH(Reply, answer);
    QFETCH(bool, trusted);
    QFETCH(Reason, reason);
    // The rows whose tunnel opens go on to a TLS handshake.
    if (QByteArray(QTest::currentDataTag()).startsWith("tunnel") &&
        !TestSystem::wineVersion().isEmpty())
        QSKIP(TestSystem::WineLacks::Tls);
    StandInService server(trusted ? StandInService::Certificate::Trusted
                                  : StandInService::Certificate::Untrusted);
    server.answer("here");
    StandInService proxy;
    proxy.answer(answer);
    // The name resolves nowhere; the stand-in proxy tunnels to this machine.
    const QByteArray authority = "vistameter.test:" + server.host().section(u':', 1).toLatin1();
    const Variable httpsProxy("https_proxy", proxy.host().toLatin1());

    // A proxy that floods its answer meets the limits of a reply's head: the reason says
    // which one ended it.
    const HttpGet::Result result = fetch("https://" + authority + "/x");
    QCOMPARE(int(result.error.reason), int(reason));
    QTEST(result.error.status, "status");
    QTEST(result.body, "body");
    QCOMPARE(proxy.requestLines.all(), QList<QByteArray>{"CONNECT " + authority + " HTTP/1.1"});
    QVERIFY(proxy.requests.value(0).contains("\r\nHost: " + authority + "\r\n"));
    QCOMPARE(server.requestLines.all(),
             reason == Reason::None ? QList<QByteArray>{"GET /x HTTP/1.0"} : QList<QByteArray>());
}

void TestHttpGet::deadlineCoversTheWholeTransfer()
{
    StandInService service;
    // A byte every 50 ms is never silent for long, yet the transfer must end at the deadline:
    // a limit on silence alone would take the whole body, 5 s later, as a success.
    service.answer(
        Reply::dripping(statusHead(200, "Content-Length: 100\r\n"), QByteArray(100, 'x'), 50ms));
    const HttpGet::Result late = fetch(service.url("/"), 400ms);
    QCOMPARE(int(late.error.reason), int(Reason::Deadline));
    QVERIFY(late.body.isEmpty());

    // Slow is not wrong: a body that has all come in before the deadline is taken, here in
    // 140 ms of a 2 s deadline, so that a busy machine can't make it late.
    const QByteArray body = "\"visitcount\":1";
    service.answer(Reply::dripping(statusHead(200, "Content-Length: 14\r\n"), body, 10ms));
    const HttpGet::Result slow = fetch(service.url("/"), 2s);
    QCOMPARE(int(slow.error.reason), int(Reason::None));
    QCOMPARE(slow.body, body);
}

void TestHttpGet::endsWhenTheApplicationQuits()
{
    StandInService service;
    service.answer(Reply::silence());
    QTimer::singleShot(100ms, QCoreApplication::instance(), [] { QCoreApplication::exit(0); });
    QCOMPARE(int(fetch(service.url("/"), 10s).error.reason), int(Reason::Quit));
    // An application that runs again starts afresh; so must the tests that follow.
    QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
}

// clang-format off
void TestHttpGet::followsRedirects_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("location");
    QTest::addColumn<QByteArray>("target"); // where the second request goes

    QTest::newRow("301, a path") << 301 << QByteArray("/moved") << QByteArray("/moved");
    QTest::newRow("302, relative") << 302 << QByteArray("moved?x=1") << QByteArray("/dir/moved?x=1");
    QTest::newRow("303, a level up") << 303 << QByteArray("../up") << QByteArray("/up");
    QTest::newRow("307, a path and a query") << 307 << QByteArray("/q?uin=2") << QByteArray("/q?uin=2");
    QTest::newRow("308, a whole address") << 308 << QByteArray("http://HOST/whole") << QByteArray("/whole");
}
// clang-format on

void TestHttpGet::followsRedirects()
{
    QFETCH(int, status);
    QFETCH(QByteArray, location);
    QFETCH(QByteArray, target);
    StandInService service;
    service.answer("here");
    service.answer(Reply::redirectTo(location.replace("HOST", service.host().toLatin1()), status),
                   "/dir/old");
    QCOMPARE(fetch(service.url("/dir/old")).body, QByteArray("here"));
    QCOMPARE(service.requestLines.all(),
             (QList<QByteArray>{"GET /dir/old HTTP/1.0", "GET " + target + " HTTP/1.0"}));
}

void TestHttpGet::followsAtMostFiveRedirects()
{
    StandInService service;
    // /r1 sends the client on to /r2, and so on to /r7, which answers.
    for (int hop = 1; hop <= 6; ++hop)
        service.answer(Reply::redirectTo("/r" + QByteArray::number(hop + 1)),
                       "/r" + QByteArray::number(hop));
    service.answer(Reply::withBody("end"), "/r7");
    QCOMPARE(fetch(service.url("/r2")).body, QByteArray("end"));
    const HttpGet::Result sixth = fetch(service.url("/r1"));
    QCOMPARE(int(sixth.error.reason), int(Reason::TooManyRedirects));
    QCOMPARE(service.requestLines.all().size(), 6 + 6);
}

// clang-format off
void TestHttpGet::logSaysWhoAnsweredEachHop_data()
{
    QTest::addColumn<QByteArray>("proxy"); // http_proxy; STAND-IN is the stand-in, CLOSED a port nothing listens at
    QTest::addColumn<QByteArray>("url");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QStringList>("lines"); // the start of each line the transfer logs, in order

    const QByteArray elsewhere = "http://vistameter.invalid/x";
    const QString viaStandIn = "GET http://vistameter.invalid/x through HTTP proxy STAND-IN";
    const QString ended = "GET http://vistameter.invalid/x ended after ";
    QTest::newRow("proxy answers 403") << QByteArray("STAND-IN/403") << elsewhere << "proxy STAND-IN answered 403"
        << QStringList{viaStandIn, "answer from proxy STAND-IN: HTTP/1.1 403 Stand-in", ended};
    QTest::newRow("proxy asks for a password") << QByteArray("STAND-IN/407") << elsewhere
        << "proxy STAND-IN asks for a user name and password (407)"
        << QStringList{viaStandIn, "answer from proxy STAND-IN: HTTP/1.1 407 Stand-in", ended};
    QTest::newRow("proxy down") << QByteArray("127.0.0.1:CLOSED") << elsewhere
        << "connection to the proxy refused: 127.0.0.1:CLOSED"
        << QStringList{"GET http://vistameter.invalid/x through HTTP proxy 127.0.0.1:CLOSED", ended};
    QTest::newRow("proxy's name not found") << QByteArray("proxy.vistameter.invalid:3128") << elsewhere
        << "proxy name not found: proxy.vistameter.invalid"
        << QStringList{"GET http://vistameter.invalid/x through HTTP proxy proxy.vistameter.invalid:3128", ended};
    QTest::newRow("server's name not found") << QByteArray() << elsewhere << "host name not found: vistameter.invalid"
        << QStringList{"GET http://vistameter.invalid/x direct", ended};
    QTest::newRow("a redirect") << QByteArray() << QByteArray("http://STAND-IN/moved") << "succeeded"
        << QStringList{"GET http://STAND-IN/moved direct", "answer from STAND-IN: HTTP/1.1 302 Stand-in, Location: /here",
                       "GET http://STAND-IN/here direct", "answer from STAND-IN: HTTP/1.1 200 Stand-in",
                       "GET http://STAND-IN/here ended after "};
}
// clang-format on

void TestHttpGet::logSaysWhoAnsweredEachHop()
{
    QFETCH(QByteArray, proxy);
    QFETCH(QByteArray, url);
    QFETCH(QString, reason);
    QFETCH(QStringList, lines);
    StandInService service;
    service.answer("here");
    service.answer(Reply::redirectTo("/here"), "/moved");
    // As a proxy, the stand-in is asked for the whole address.
    service.answer(Reply::withBody("denied", 403), "http://vistameter.invalid/x");
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const QByteArray closedPort = QByteArray::number(closed.serverPort());
    closed.close();
    const auto place = [&](QString text) {
        return text.replace(QLatin1String("STAND-IN"), service.host())
            .replace(QLatin1String("CLOSED"), QString::fromLatin1(closedPort));
    };
    if (proxy.endsWith("/407"))
        service.answer(Reply::withBody("who?", 407), "http://vistameter.invalid/x");
    proxy = proxy.replace("/403", "")
                .replace("/407", "")
                .replace("STAND-IN", service.host().toLatin1())
                .replace("CLOSED", closedPort);
    const Variable httpProxy("http_proxy", proxy);
    TransferLog log;

    const HttpGet::Result result = fetch(url.replace("STAND-IN", service.host().toLatin1()));
    // How fast a name is found not to exist is up to the resolver, which may take longer than
    // the deadline.
    if (result.error.reason == Reason::Deadline && reason.contains(QLatin1String("not found")))
        QSKIP("the resolver took longer than the deadline");
    QCOMPARE(result.error.description(), place(reason));
    QCOMPARE(log.lines.size(), lines.size());
    for (qsizetype i = 0; i < lines.size(); ++i)
        QVERIFY2(log.lines.at(i).startsWith(place(lines.at(i))), qPrintable(log.lines.at(i)));
    QVERIFY(log.lines.constLast().endsWith(u' ' + place(reason)));
}

// clang-format off
void TestHttpGet::logWritesOutWhatAServerSends_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<QString>("written"); // a line the log must hold

    // Clears the screen, sets the title, rings, goes back to the line's start, and a CSI
    // (U+009B, raw and as UTF-8) and a right-to-left override (U+202E, as UTF-8).
    const QByteArray hostile = "\x1b[2J\x1b]0;owned\x07\r\x9b\xc2\x9b\xe2\x80\xae";
    const QString written = "\\x1b[2J\\x1b]0;owned\\x07\\x0d";
    QTest::newRow("Content-Encoding") << Reply::closeAfter(statusHead(200, "Content-Encoding: " + hostile + "\r\n"))
                                      << "content coding not identity: " + written;
    QTest::newRow("Location") << Reply::redirectTo("/x" + hostile) << ", Location: /x" + written;
    QTest::newRow("reason phrase") << Reply::closeAfter("HTTP/1.1 500 " + hostile + "\r\n\r\n") << "HTTP/1.1 500 " + written;
}
// clang-format on

void TestHttpGet::logWritesOutWhatAServerSends()
{
    QFETCH(Reply, reply);
    QFETCH(QString, written);
    StandInService service;
    service.answer("here");
    service.answer(reply, "/hostile");
    TransferLog log;

    fetch(service.url("/hostile"));
    QVERIFY2(log.lines.join(u'\n').contains(written), qPrintable(log.lines.join(u'\n')));
    for (const QString &line : std::as_const(log.lines)) {
        for (const char16_t raw : {u'\x1b', u'\x07', u'\r', u'\x9b', u'\u202e'})
            QVERIFY2(!line.contains(QChar(raw)), qPrintable(line));
    }
}

QTEST_GUILESS_MAIN(TestHttpGet)
#include "TestHttpGet.moc"
