// SPDX-License-Identifier: MIT
#include "support/LookupTexts.h"

#include "lookup/Lookup.h"
#include "lookup/LookupTransfer.h"
#include "text/MessageText.h"

#include <QLoggingCategory>
#include <QTest>

using namespace std::chrono_literals;

namespace {

const QString Host = QStringLiteral("stats.example");
const QString Asked = QStringLiteral("http://stats.example/fcg-bin/cgi_emotion_list.fcg?uin=");

// A transfer that answers at once with what the test gives it, and notes what it was asked.
class StandInTransfer : public LookupTransfer
{
public:
    Reply reply;
    QStringList urls;
    std::chrono::milliseconds deadline{};

    Reply fetch(const QString &url, std::chrono::milliseconds given) override
    {
        urls << url;
        deadline = given;
        return reply;
    }
};

LookupTransfer::Reply succeeded(const QByteArray &body)
{
    return {true, QString::fromUtf8(body), {}};
}

} // namespace

// The lookup without a window or a network: what it asks for, what it makes of each reply,
// and what it logs.
class TestLookupOutcome : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void outcome_data();
    void outcome();
    void account_data();
    void account();
};

void TestLookupOutcome::initTestCase()
{
    QLoggingCategory::setFilterRules(QStringLiteral("vistameter.lookup.info=true"));
}

// clang-format off
void TestLookupOutcome::outcome_data()
{
    QTest::addColumn<LookupTransfer::Reply>("reply");
    QTest::addColumn<QString>("total"); // Label7's caption; "0" after a failure
    QTest::addColumn<QString>("today");
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<QString>("logged"); // after the address and its colon

    const QString none = QStringLiteral("the reply held no counts");
    QTest::newRow("both high") << succeeded(statisticsReply("2000", "150")) << "2000" << "150" << Verdict::BothHigh << "counts 2000 and 150";
    QTest::newRow("quoted counts") << succeeded(R"("visitcount":"2000","dayvisit":"150","spacemark":)")
                                   << "2000" << "150" << Verdict::BothHigh << "counts 2000 and 150";
    QTest::newRow("today 100, total 9999") << succeeded(statisticsReply("9999", "100")) << "9999" << "100" << Verdict::None << "counts 9999 and 100";
    QTest::newRow("today 101") << succeeded(statisticsReply("5", "101")) << "5" << "101" << Verdict::BothHigh << "counts 5 and 101";
    QTest::newRow("today in 万") << succeeded(statisticsReply("123456", "12345")) << "12万3456" << "1万2345" << Verdict::BothHigh << "counts 123456 and 12345";
    // The counts are compared, not the captions: 9万9999 is not above 100000.
    QTest::newRow("total 99999") << succeeded(statisticsReply("99999", "100")) << "9万9999" << "100" << Verdict::None << "counts 99999 and 100";
    QTest::newRow("total 100000") << succeeded(statisticsReply("100000", "0")) << "10万0000" << "0" << Verdict::None << "counts 100000 and 0";
    QTest::newRow("total 100001") << succeeded(statisticsReply("100001", "3")) << "10万0001" << "3" << Verdict::TotalHigh << "counts 100001 and 3";
    QTest::newRow("亿") << succeeded(statisticsReply("1234567890", "88")) << "12亿3456万7890" << "88" << Verdict::TotalHigh << "counts 1234567890 and 88";
    // What isn't UTF-8 reaches the lookup as replacement characters; the counts still count.
    QTest::newRow("replacement characters around the counts")
        << succeeded("\xef\xbf\xbd" + statisticsReply("2000", "150") + "\xef\xbf\xbd") << "2000" << "150" << Verdict::BothHigh << "counts 2000 and 150";
    QTest::newRow("empty body") << succeeded({}) << "0" << "0" << Verdict::None << none;
    QTest::newRow("spaces only") << succeeded("   ") << "0" << "0" << Verdict::None << none;
    QTest::newRow("no key: a closed space") << succeeded("_Callback({\"code\":-4009});") << "0" << "0" << Verdict::None << none;
    QTest::newRow("keys in another case") << succeeded(R"("VISITCOUNT":1,"DAYVISIT":2,"SPACEMARK":)") << "0" << "0" << Verdict::None << none;
    QTest::newRow("keys in another order") << succeeded(R"("dayvisit":5,"visitcount":100,"spacemark":)")
                                           << "0" << "0" << Verdict::None << "the total is no count: empty";
    // Grouped and shown in a box, it froze the window for seconds.
    QTest::newRow("a total of a million digits") << succeeded(statisticsReply(QByteArray(1000000, '7').constData(), "150"))
                                                 << "0" << "0" << Verdict::None << "the total is no count: 1000000 digits";
    QTest::newRow("a failed transfer") << LookupTransfer::Reply{false, {}, "HTTP status 404"}
                                       << "0" << "0" << Verdict::None << "HTTP status 404";
    // Whatever a transfer says, the log shows nothing a terminal would act on.
    QTest::newRow("a reason with controls") << LookupTransfer::Reply{false, {}, "proxy \x1b[2J\u202e"}
                                            << "0" << "0" << Verdict::None << "proxy \\x1b[2J\\u202e";
}
// clang-format on

void TestLookupOutcome::outcome()
{
    QFETCH(LookupTransfer::Reply, reply);
    QFETCH(QString, total);
    QFETCH(QString, today);
    QFETCH(Verdict, verdict);
    QFETCH(QString, logged);
    StandInTransfer transfer;
    transfer.reply = reply;
    Lookup lookup(transfer, Host, 1234ms);

    QTest::ignoreMessage(QtInfoMsg, qPrintable(Asked + "10001: " + logged));
    const LookupOutcome outcome = lookup.lookUp(QStringLiteral("10001"));
    QCOMPARE(transfer.urls, QStringList{Asked + "10001"});
    QCOMPARE(transfer.deadline, 1234ms);
    QCOMPARE(outcome.url, Asked + "10001");
    QCOMPARE(outcome.total, total);
    QCOMPARE(outcome.today, today);
    QCOMPARE(outcome.verdict, verdict);
    const bool found = logged.startsWith(QLatin1String("counts "));
    QCOMPARE(outcome.counts.has_value(), found);
    QCOMPARE(outcome.reason, found ? QString() : reply.succeeded ? logged : reply.reason);
    QCOMPARE(outcome.result.text, found ? successMessage(QStringLiteral("10001")) : FailureMessage);
    QCOMPARE(outcome.result.title, MessageTitle);

    // A verdict quotes the counters as they read.
    switch (verdict) {
    case Verdict::BothHigh:
        QCOMPARE(outcome.comment->text, bothHighMessage(total, today));
        QCOMPARE(outcome.comment->title, MessageTitle);
        break;
    case Verdict::TotalHigh:
        QCOMPARE(outcome.comment->text, totalHighMessage(total, today));
        QCOMPARE(outcome.comment->title, TotalHighTitle);
        break;
    case Verdict::None:
        QVERIFY(!outcome.comment);
        break;
    }
}

// clang-format off
void TestLookupOutcome::account_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("asked"); // after uin=
    QTest::addColumn<QString>("message");

    QTest::newRow("spaces around") << "  10001  " << "10001" << successMessage("  10001  ");
    QTest::newRow("empty") << "" << "" << successMessage("");
    QTest::newRow("space and ampersand") << "1 2&uin=3" << "1%202%26uin%3D3" << successMessage("1 2&uin=3");
    QTest::newRow("query delimiters") << "#%/?+" << "%23%25%2F%3F%2B" << successMessage("#%/?+");
    QTest::newRow("not ASCII") << "号１" << "%E5%8F%B71" << successMessage("号１");
    // As an input method in full-width mode gives them, and as a paste from a chat brings them.
    QTest::newRow("full-width, ideographic spaces") << "\u3000１０００１\u3000" << "10001" << successMessage("\u3000１０００１\u3000");
    QTest::newRow("pasted with CR LF") << "10001\r\n" << "10001" << successMessage("10001");
    QTest::newRow("leading tab") << "\t10001" << "10001" << successMessage("10001");
    QTest::newRow("typed spaces around a pasted line") << " \u00a010001\n " << "10001" << successMessage(" \u00a010001 ");
    // Quoted as text: the box shows it as plain text.
    QTest::newRow("markup") << "<b>1</b>" << "%3Cb%3E1%3C%2Fb%3E" << successMessage("<b>1</b>");
    QTest::newRow("pasted at full length") << QString(32767, u'7') << QString(32767, u'7')
                                           << successMessage(QString(20, u'7') + "…" + QString(19, u'7'));
    QTest::newRow("right-to-left override") << "\u202E10001" << "%E2%80%AE10001" << successMessage("\u202E10001");
    QTest::newRow("stray isolate closer") << "\u2069\u202E10001" << "%E2%81%A9%E2%80%AE10001" << successMessage("\u202E10001");
}
// clang-format on

void TestLookupOutcome::account()
{
    StandInTransfer transfer;
    transfer.reply = succeeded(statisticsReply("1", "1"));
    Lookup lookup(transfer, Host, 1s);

    QTest::ignoreMessage(QtInfoMsg, QRegularExpression(QStringLiteral(": counts 1 and 1$")));
    QFETCH(QString, typed);
    const LookupOutcome outcome = lookup.lookUp(typed);
    QFETCH(QString, asked);
    QCOMPARE(transfer.urls, QStringList{Asked + asked});
    QTEST(outcome.result.text, "message");
}

QTEST_GUILESS_MAIN(TestLookupOutcome)
#include "TestLookupOutcome.moc"
