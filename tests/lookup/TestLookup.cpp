// SPDX-License-Identifier: MIT
#include "support/WindowUnderTest.h"

#include "support/Fixtures.h"
#include "support/MessageBoxDriver.h"
#include "support/System.h"

#include "runtime/App.h"
#include "runtime/Inet.h"
#include "runtime/MsgBox.h"
#include "text/MessageText.h"
#include "transfer/HttpReply.h"
#include "transfer/TransferError.h"

#include "config.h"

#include <QFileInfo>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Runtime;
using Reason = Transfer::TransferError::Reason;

namespace {

const QString Failure = shownBox(vbCritical, MessageTitle, msgBoxText(FailureMessage));

// account: one without line breaks or direction marks, which the message quotes isolated.
QString success(const QString &account)
{
    return shownBox(vbInformation, MessageTitle, successMessage(account));
}

QString bothHigh(const QString &total, const QString &today)
{
    return shownBox(vbInformation, MessageTitle, bothHighMessage(total, today));
}

QString totalHigh(const QString &total, const QString &today)
{
    return shownBox(vbInformation, TotalHighTitle, msgBoxText(totalHighMessage(total, today)));
}

// Whether a transfer ended for reason, by the text it gives: a reason with a detail ends in it.
bool endedFor(const TransferEnd &end, Reason reason)
{
    if (reason == Reason::None)
        return end.status == TransferStatus::Succeeded && end.reason.isEmpty();
    return end.status == TransferStatus::Failed &&
           end.reason.startsWith(Transfer::TransferError{reason, 0, {}}.description());
}

} // namespace

// The lookup as the user meets it: the real window, a stand-in service on loopback, and every
// message box read and answered.
class TestLookup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void outcome_data();
    void outcome();
    void buttonIsBusyUntilTheResultIsShown();
    void transferPluginMissingOrNotOurs_data();
    void transferPluginMissingOrNotOurs();
    void focusStaysOnTheButton();
    void hostileReplyThenAGoodLookup_data();
    void hostileReplyThenAGoodLookup();
    void requestCarriesTheTrimmedEncodedAccount_data();
    void requestCarriesTheTrimmedEncodedAccount();
    void closeDuringTheFetchWaitsForTheLookup();

private:
    std::unique_ptr<WindowUnderTest> m_window;
    // For the hostile replies: a plain service that a window asks, and two https services its
    // replies may send the window on to, one with a certificate the window trusts.
    std::unique_ptr<StandInService> m_plain;
    std::unique_ptr<StandInService> m_trusted;
    std::unique_ptr<StandInService> m_untrusted;
};

void TestLookup::init()
{
    m_window = std::make_unique<WindowUnderTest>();
    QVERIFY(m_window->loaded);
}

void TestLookup::cleanup()
{
    if (m_window->boxes)
        QCOMPARE(m_window->boxes->unanswered(), 0);
    m_window.reset();
}

// clang-format off
void TestLookup::outcome_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("today");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("messages");

    // What the lookup makes of every reply is its own test's; here, how the window shows each
    // kind of outcome.
    const QString idle = QStringLiteral("获取空间人气");
    const QString retry = QStringLiteral("重新尝试获取");
    QTest::newRow("both high") << statisticsReply("123456", "12345") << 200 << "12万3456" << "1万2345" << idle
                               << QStringList{success("10001"), bothHigh("12万3456", "1万2345")};
    QTest::newRow("total high") << statisticsReply("100001", "3") << 200 << "10万0001" << "3" << idle
                                << QStringList{success("10001"), totalHigh("10万0001", "3")};
    QTest::newRow("no verdict") << statisticsReply("9999", "100") << 200 << "9999" << "100"
                                << idle << QStringList{success("10001")};
    QTest::newRow("no key: a closed space") << QByteArray("_Callback({\"code\":-4009});") << 200
                                            << "0" << "0" << retry << QStringList{Failure};
    QTest::newRow("HTTP 404 with counts") << statisticsReply("2000", "150") << 404 << "0" << "0" << retry
                                          << QStringList{Failure};
}
// clang-format on

void TestLookup::outcome()
{
    QFETCH(QByteArray, body);
    QFETCH(int, status);
    m_window->service.answer(body, status);

    QTEST(m_window->lookUp(QStringLiteral("10001")), "messages");
    QTEST(m_window->Label7->caption(), "total");
    QTEST(m_window->Label9->caption(), "today");
    QTEST(m_window->Command1->text(), "caption");
    QVERIFY(m_window->Command1->isEnabled());
}

void TestLookup::buttonIsBusyUntilTheResultIsShown()
{
    m_window->service.answer(statisticsReply("2000", "150"));
    int paintsDuringFetch = 0;
    QStringList states;
    auto state = [&] {
        return QStringLiteral("%1 %2")
            .arg(m_window->Command1->isEnabled())
            .arg(m_window->Command1->text());
    };
    struct PaintCounter : QObject
    {
        int *count;
        explicit PaintCounter(int *c) : count(c) {}
        bool eventFilter(QObject *, QEvent *event) override
        {
            *count += event->type() == QEvent::Paint;
            return false;
        }
    };
    // Owned here, not by the button: it must not outlive the count it writes to.
    PaintCounter paintCounter(&paintsDuringFetch);
    QTimer::singleShot(0, this, [&] {
        // Runs inside the fetch: the window still gets painted.
        m_window->Command1->installEventFilter(&paintCounter);
    });
    m_window->boxes->onAsked([&](const MsgBoxAnswers::Box &) { states << state(); });

    m_window->lookUp(QStringLiteral("10001"));
    states << state();
    QCOMPARE(states, (QStringList{"0 获取人气信息中", "1 获取空间人气", "1 获取空间人气"}));

    m_window->service.answer(QByteArray());
    states.clear();
    m_window->lookUp(QStringLiteral("10001"));
    states << state();
    QCOMPARE(states, (QStringList{"0 获取人气信息中", "1 重新尝试获取"}));
    QVERIFY(paintsDuringFetch > 0);
}

void TestLookup::transferPluginMissingOrNotOurs_data()
{
    QTest::addColumn<QString>("library"); // what lies where the transfer plugin belongs
    QTest::addColumn<TransferStatus>("status");

    QTest::newRow("missing") << QString() << TransferStatus::PluginMissing;
    QTest::newRow("not a library") << QStringLiteral("text") << TransferStatus::PluginNotOurs;
    QTest::newRow("another library")
        << App::Path() + QStringLiteral("/" VISTAMETER_SKIN_ENGINE_FILE)
        << TransferStatus::PluginNotOurs;
    QTest::newRow("Inet_OpenURL as data")
        << QStringLiteral(DECOY_DATA_SYMBOL) << TransferStatus::PluginNotOurs;
    QTest::newRow("a plugin of another interface")
        << QStringLiteral(DECOY_OTHER_INTERFACE) << TransferStatus::PluginNotOurs;
    QTest::newRow("a plugin of another version")
        << QStringLiteral(DECOY_OTHER_VERSION) << TransferStatus::PluginNotOurs;
    // These two are loaded, refused, and stay loaded for good.
    QTest::newRow("instance entry as data")
        << QStringLiteral(DECOY_DATA_INSTANCE) << TransferStatus::PluginNotOurs;
    QTest::newRow("instance no transfer")
        << QStringLiteral(DECOY_NO_INTERFACE) << TransferStatus::PluginNotOurs;
}

void TestLookup::transferPluginMissingOrNotOurs()
{
    QFETCH(QString, library);
    QFETCH(TransferStatus, status);
    // A program folder of its own, with the skin engine and skin but not the transfer.
    QTemporaryDir program;
    const QString engine = App::Path() + QStringLiteral("/" VISTAMETER_SKIN_ENGINE_FILE);
    QVERIFY(QFile::copy(engine, program.filePath(QFileInfo(engine).fileName())));
    QVERIFY(QFile::copy(App::Path() + QStringLiteral("/skinh.she"),
                        program.filePath(QStringLiteral("skinh.she"))));
    const QString transfer = App::Path() + QStringLiteral("/" VISTAMETER_TRANSFER_PLUGIN_FILE);
    const QString besideProgram = program.filePath(QFileInfo(transfer).fileName());
    QFile file(besideProgram);
    if (library == QLatin1String("text"))
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a library\n") > 0);
    else if (!library.isEmpty())
        QVERIFY(QFile::copy(library, besideProgram));
    file.close();

    m_window =
        std::make_unique<WindowUnderTest>(std::chrono::seconds(1), QString(), program.path());
    QVERIFY(m_window->loaded);
    const QString skinned = qApp->styleSheet();
    QVERIFY(!skinned.isEmpty());
    m_window->service.answer(statisticsReply("2000", "150"));
    m_window->Label7->setCaption(QStringLiteral("2000"));
    // The failure path of any failed transfer, without a byte sent, and without calling any of
    // the file (the decoys of other ids end the process when they are loaded); the window goes
    // on.
    QCOMPARE(m_window->lookUp(QStringLiteral("10001")), QStringList{Failure});
    QCOMPARE(int(m_window->In2->lastError().status), int(status));
    QCOMPARE(m_window->Label7->caption(), QStringLiteral("0"));
    QCOMPARE(m_window->Label9->caption(), QStringLiteral("0"));
    QCOMPARE(m_window->Command1->text(), QStringLiteral("重新尝试获取"));
    QVERIFY(m_window->Command1->isEnabled());
    QVERIFY(m_window->service.requests.all().isEmpty());
    QVERIFY(m_window->form.isVisible());
    QCOMPARE(qApp->styleSheet(), skinned);

    // The plugin is looked for again at each lookup: once sound, it is used, even where the one
    // refused before is still loaded.
    QFile::remove(besideProgram);
    QVERIFY(QFile::copy(transfer, besideProgram));
    QCOMPARE(m_window->lookUp(QStringLiteral("10001")),
             (QStringList{success("10001"), bothHigh("2000", "150")}));
    QCOMPARE(int(m_window->In2->lastError().status), int(TransferStatus::Succeeded));
}

void TestLookup::focusStaysOnTheButton()
{
    m_window->service.answer(statisticsReply("2000", "150"));
    m_window->form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&m_window->form));
    m_window->Command1->setFocus();
    // The real boxes, which take the focus while they are up.
    m_window->boxes.reset();
    MessageBoxDriver driver;
    driver.answer({vbOK, vbOK});
    // What a screen reader announces: every control of the window that takes the focus.
    QStringList focused;
    const auto watch =
        connect(qApp, &QApplication::focusChanged, this, [&](QWidget *, QWidget *now) {
            if (now && now->window() == &m_window->form)
                focused << now->objectName();
        });
    QTest::keyClick(m_window->Command1, Qt::Key_Space);
    QCOMPARE(driver.boxes.size(), 2);
    m_window->form.activateWindow();
    QTRY_COMPARE(QApplication::focusWidget(), m_window->Command1);
    disconnect(watch);
    // The window itself holds it while a box over it closes, where the system activates it
    // again first (Windows does).
    focused.removeAll(QStringLiteral("Command1"));
    focused.removeAll(m_window->form.objectName());
    QVERIFY2(focused.isEmpty(), qPrintable(focused.join(u',')));
}

namespace {

constexpr std::chrono::milliseconds HostileDeadline(2000);

QByteArray chunked(const QByteArray &body)
{
    QByteArray chunks;
    for (qsizetype at = 0; at < body.size(); at += 64 * 1024) {
        const QByteArray chunk = body.mid(at, 64 * 1024);
        chunks += QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n";
    }
    return chunks + "0\r\n\r\n";
}

} // namespace

void TestLookup::initTestCase()
{
    // As the program's main() does, before any window exists.
    Form1::setUpApplication();
    StandInService::trustTestAuthority();
    const Reply good = Reply::withBody(statisticsReply("1", "1"));
    m_plain = std::make_unique<StandInService>();
    m_plain->answer(good, "/good");
    m_trusted = std::make_unique<StandInService>(StandInService::Certificate::Trusted);
    m_trusted->answer(good);
    m_trusted->answer(Reply::redirectTo(m_plain->url("/good")), "/back");
    m_untrusted = std::make_unique<StandInService>(StandInService::Certificate::Untrusted);
    m_untrusted->answer(good);
}

// clang-format off
void TestLookup::hostileReplyThenAGoodLookup_data()
{
    QTest::addColumn<Reply>("reply");
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<Reason>("reason"); // why the transfer ended

    const QByteArray counts = statisticsReply("1", "1");
    const QByteArray lengthOf = "Content-Length: ";
    const QByteArray chunkedHead = statusHead(200, "Transfer-Encoding: chunked\r\n");
    const QByteArray sevens(64 * 1024, '7');
    const qint64 gib = qint64(1) << 30;
    const QByteArray exact = counts + QByteArray(Transfer::HttpReply::MaxBodySize - counts.size(), ' ');
    const QByteArray over = exact + ' ';

    QTest::newRow("endless body without length") << Reply::endless(statusHead(200), sevens) << false << Reason::BodyLimit;
    QTest::newRow("Content-Length 1 GiB at full speed")
        << Reply::repeating(statusHead(200, lengthOf + QByteArray::number(gib) + "\r\n"), sevens, gib) << false << Reason::BodyLimit;
    QTest::newRow("1 MiB with length") << Reply::withBody(exact) << true << Reason::None;
    QTest::newRow("1 MiB + 1 with length") << Reply::withBody(over) << false << Reason::BodyLimit;
    QTest::newRow("1 MiB to the end") << Reply::closeAfter(statusHead(200) + exact) << true << Reason::None;
    QTest::newRow("1 MiB + 1 to the end") << Reply::closeAfter(statusHead(200) + over) << false << Reason::BodyLimit;
    QTest::newRow("1 MiB chunked") << Reply::closeAfter(chunkedHead + chunked(exact)) << true << Reason::None;
    QTest::newRow("1 MiB + 1 chunked") << Reply::closeAfter(chunkedHead + chunked(over)) << false << Reason::BodyLimit;
    QTest::newRow("endless header line")
        << Reply::endless("HTTP/1.1 200 OK\r\nX-Endless: ", sevens) << false << Reason::HeadLimit;
    QTest::newRow("100 MB status line")
        << Reply::repeating("HTTP/1.1 200 ", sevens, 100'000'000, "\r\n\r\n" + counts) << false << Reason::HeadLimit;
    const QByteArray lines = QByteArray("X-Line: 1\r\n").repeated(1000);
    QTest::newRow("a million header lines")
        << Reply::repeating("HTTP/1.1 200 OK\r\n", lines, lines.size() * 1000, "\r\n" + counts) << false << Reason::HeaderLinesLimit;
    QTest::newRow("endless 100 Continue")
        << Reply::endless({}, QByteArray("HTTP/1.1 100 Continue\r\n\r\n").repeated(1000)) << false << Reason::InterimLimit;
    QTest::newRow("endless 1-byte chunks")
        << Reply::endless(chunkedHead, QByteArray("1\r\n7\r\n").repeated(10000)) << false << Reason::BodyLimit;
    QTest::newRow("a chunk of 2^63 bytes sent for ever")
        << Reply::endless(chunkedHead + "8000000000000000\r\n", sevens) << false << Reason::BodyLimit;
    QTest::newRow("chunk size past 64 bits")
        << Reply::closeAfter(chunkedHead + "10000000000000000\r\n" + counts + "\r\n0\r\n\r\n") << false << Reason::BodyLimit;
    QTest::newRow("negative chunk size")
        << Reply::closeAfter(chunkedHead + "-1\r\n" + counts + "\r\n0\r\n\r\n") << false << Reason::MalformedChunk;
    // The counts, gzipped: taken as they come, they are no statistics reply.
    const QByteArray gzipped = QByteArrayLiteral(
        "\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03\x8b\x77\x4e\xcc\xc9\x49\x4a\x4c\xce\xd6\xa8\x56"
        "\x4a\x49\x2c\x49\x54\xb2\xaa\x56\x2a\xcb\x2c\xce\x2c\x49\xce\x2f\xcd\x2b\x51\xb2\x32\xd4"
        "\x01\x0a\x57\x82\x45\xc0\x9c\xe2\x82\xc4\xe4\xd4\xdc\xc4\xa2\x6c\x20\xaf\xb6\x56\xd3\x1a"
        "\x00\xcd\xa7\x38\x79\x40\x00\x00\x00");
    QTest::newRow("gzip body")
        << Reply::closeAfter(statusHead(200, "Content-Encoding: gzip\r\n" + lengthOf + QByteArray::number(gzipped.size()) + "\r\n") + gzipped)
        << false << Reason::ContentCoding;
    QTest::newRow("binary body") << Reply::withBody(binaryBody()) << false << Reason::None;
    QTest::newRow("HTTP/0.9, no status line") << Reply::closeAfter(counts) << false << Reason::MalformedStatusLine;
    QTest::newRow("close at once") << Reply::closeAtOnce() << false << Reason::ConnectionClosed;
    QTest::newRow("reset before the status line") << Reply::resetAfter({}) << false << Reason::ConnectionClosed;
    QTest::newRow("reset after the status line")
        << Reply::resetAfter("HTTP/1.1 200 OK\r\n") << false << Reason::ConnectionClosed;
    QTest::newRow("reset mid-body")
        << Reply::resetAfter(statusHead(200, lengthOf + QByteArray::number(counts.size()) + "\r\n") + counts.left(counts.size() / 2))
        << false << Reason::ConnectionClosed;
    QTest::newRow("redirect loop") << Reply::redirectTo("/fcg-bin/cgi_emotion_list.fcg?uin=loop") << false << Reason::TooManyRedirects;
    QTest::newRow("redirect to file:") << Reply::redirectTo("file:///etc/passwd") << false << Reason::RedirectRefused;
    QTest::newRow("redirect to ftp:") << Reply::redirectTo("ftp://127.0.0.1/") << false << Reason::RedirectRefused;
    QTest::newRow("redirect to trusted https") << Reply::redirectTo(m_trusted->url("/fcg-bin/cgi_emotion_list.fcg?uin=10001"))
                                               << true << Reason::None;
    QTest::newRow("redirect to untrusted https") << Reply::redirectTo(m_untrusted->url("/")) << false << Reason::Tls;
    QTest::newRow("https back to http") << Reply::redirectTo(m_trusted->url("/back")) << false << Reason::RedirectRefused;
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    QTest::newRow("redirect to a closed port")
        << Reply::redirectTo("http://127.0.0.1:" + QByteArray::number(closed.serverPort()) + "/") << false << Reason::ConnectionRefused;
    QTest::newRow("redirect to an unknown host")
        << Reply::redirectTo("http://vistameter.invalid/") << false << Reason::NameNotFound;
    QTest::newRow("never answers") << Reply::silence() << false << Reason::Deadline;
    QTest::newRow("drips past the deadline")
        << Reply::dripping(statusHead(200, lengthOf + "1000\r\n"), QByteArray(1000, '7'), std::chrono::milliseconds(50))
        << false << Reason::Deadline;
}
// clang-format on

void TestLookup::hostileReplyThenAGoodLookup()
{
    QFETCH(Reply, reply);
    QFETCH(bool, succeeds);
    QFETCH(Reason, reason);
    if (!TestSystem::wineVersion().isEmpty()) {
        if (reply.resets())
            QSKIP(TestSystem::WineLacks::Reset);
        if (QByteArray(QTest::currentDataTag()).contains("https"))
            QSKIP(TestSystem::WineLacks::Tls);
    }
    m_window = std::make_unique<WindowUnderTest>(HostileDeadline, m_plain->host());
    QVERIFY(m_window->loaded);
    m_plain->answer(reply);

    QCOMPARE(m_window->lookUp(QStringLiteral("10001")),
             succeeds ? QStringList{success("10001")} : QStringList{Failure});
    const TransferEnd &ended = m_window->In2->lastError();
    // How fast a name is found not to exist is up to the resolver, which may take longer than
    // the deadline.
    if (!(reason == Reason::NameNotFound && endedFor(ended, Reason::Deadline)))
        QVERIFY2(endedFor(ended, reason), qPrintable(ended.reason));

    // Nothing of it is left. The stand-in serves one connection at a time, so the next lookup
    // gets its answer only once the last connection has been let go: a transfer that went on
    // reading or holding it after its end would make this one fail.
    m_plain->answer(Reply::withBody(statisticsReply("1", "1")));
    QCOMPARE(m_window->lookUp(QStringLiteral("10002")), QStringList{success("10002")});
}

// clang-format off
void TestLookup::requestCarriesTheTrimmedEncodedAccount_data()
{
    QTest::addColumn<QString>("account");
    QTest::addColumn<QByteArray>("requestLine");

    // The address the lookup builds is its own test's; here, that the bytes sent keep to it.
    QTest::newRow("spaces around") << "  10001  " << QByteArray("GET /fcg-bin/cgi_emotion_list.fcg?uin=10001 HTTP/1.0");
    QTest::newRow("query delimiters")
        << "#%/?+" << QByteArray("GET /fcg-bin/cgi_emotion_list.fcg?uin=%23%25%2F%3F%2B HTTP/1.0");
    QTest::newRow("not ASCII") << "号１" << QByteArray("GET /fcg-bin/cgi_emotion_list.fcg?uin=%E5%8F%B71 HTTP/1.0");
}
// clang-format on

void TestLookup::requestCarriesTheTrimmedEncodedAccount()
{
    QFETCH(QString, account);
    QFETCH(QByteArray, requestLine);
    m_window->service.answer(statisticsReply("1", "1"));
    m_window->lookUp(account);
    QCOMPARE(m_window->service.requestLines.all(), QList<QByteArray>{requestLine});
}

void TestLookup::closeDuringTheFetchWaitsForTheLookup()
{
    m_window->service.answer(Reply::silence());
    QStringList order;
    QTimer::singleShot(100, &m_window->form, [&] {
        order << QStringLiteral("close asked");
        m_window->form.close();
    });
    m_window->boxes->onAsked([&](const MsgBoxAnswers::Box &box) { order << box.text.left(2); });
    m_window->boxes->answer({vbOK, vbNo});
    m_window->Text1->setText(QStringLiteral("10001"));
    QTest::mouseClick(m_window->Command1, Qt::LeftButton);
    QTRY_COMPARE(order, (QStringList{"close asked", "抱歉", "您确"}));
    QVERIFY(m_window->form.isVisible());
    QCOMPARE(m_window->Label7->caption(), QStringLiteral("0"));
}

QTEST_MAIN(TestLookup)
#include "TestLookup.moc"
