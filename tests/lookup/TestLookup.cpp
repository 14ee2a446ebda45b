// SPDX-License-Identifier: MIT
#include "support/WindowUnderTest.h"

#include "runtime/MsgBox.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Runtime;
using Fault = StandInService::Fault;

namespace {

const QString Title = QStringLiteral("OmblePellin提示");
const QString Failure =
    QStringLiteral("16|OmblePellin提示|抱歉!读取信息失败!此空间未开通或已设置访问权限!\n \n"
                   "也有可能因您的网络不稳定!暂时不能读取人气信息!");

// account: one without line breaks or direction marks, which the message quotes isolated.
QString success(const QString &account)
{
    return ShownBox(vbInformation, Title,
                    QStringLiteral("获取【QQ:\u2068%1\u2069】空间人气成功!").arg(account));
}

QString bothHigh(const QString &total, const QString &today)
{
    return ShownBox(vbInformation, Title,
                    QStringLiteral("哇,空间总人气很高哦![%1]人!,空间今日人气也很高嘛![%2]人哦!")
                        .arg(total, today));
}

QString totalHigh(const QString &total, const QString &today)
{
    return ShownBox(
        vbInformation, QStringLiteral("Omble提示"),
        QStringLiteral("哎呦,空间今日人气不是很高哦![%1]人!\n不过空间总人气很高嘛![%2]人哦!")
            .arg(today, total));
}

} // namespace

// The lookup as the user meets it: the real window, a stand-in service on loopback, and every
// message box read and answered.
class TestLookup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void outcome_data();
    void outcome();
    void buttonIsBusyUntilTheResultIsShown();
    void failureAfterSuccessShowsZeros();
    void focusComesBackToTheButton();
    void faultsEndOnTheFailureBranch_data();
    void faultsEndOnTheFailureBranch();
    void requestCarriesTheTrimmedEncodedAccount_data();
    void requestCarriesTheTrimmedEncodedAccount();
    void accountIsShownAsPlainText();
    void closeDuringTheFetchWaitsForTheLookup();

private:
    std::unique_ptr<WindowUnderTest> window;
};

void TestLookup::init()
{
    window = std::make_unique<WindowUnderTest>();
    QVERIFY(window->loaded);
}

void TestLookup::cleanup()
{
    QCOMPARE(window->boxes.unanswered, 0);
    window.reset();
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

    const QString idle = QStringLiteral("获取空间人气");
    const QString retry = QStringLiteral("重新尝试获取");

    QTest::newRow("both high") << StatisticsReply("2000", "150") << 200 << "2000" << "150" << idle
                               << QStringList{success("10001"), bothHigh("2000", "150")};
    QTest::newRow("quoted counts") << QByteArray(R"("visitcount":"2000","dayvisit":"150","spacemark":)")
                                   << 200 << "2000" << "150" << idle
                                   << QStringList{success("10001"), bothHigh("2000", "150")};
    QTest::newRow("today 100, total 9999") << StatisticsReply("9999", "100") << 200 << "9999" << "100"
                                           << idle << QStringList{success("10001")};
    QTest::newRow("today 101") << StatisticsReply("5", "101") << 200 << "5" << "101" << idle
                               << QStringList{success("10001"), bothHigh("5", "101")};
    QTest::newRow("today in 万") << StatisticsReply("123456", "12345") << 200 << "12万3456" << "1万2345"
                                << idle
                                << QStringList{success("10001"), bothHigh("12万3456", "1万2345")};
    // The counts are compared, not the captions: 9万9999 is not above 100000.
    QTest::newRow("total 99999") << StatisticsReply("99999", "100") << 200 << "9万9999" << "100" << idle
                                 << QStringList{success("10001")};
    QTest::newRow("total 100000") << StatisticsReply("100000", "0") << 200 << "10万0000" << "0" << idle
                                  << QStringList{success("10001")};
    QTest::newRow("total 100001") << StatisticsReply("100001", "3") << 200 << "10万0001" << "3" << idle
                                  << QStringList{success("10001"), totalHigh("10万0001", "3")};
    QTest::newRow("亿") << StatisticsReply("1234567890", "88") << 200 << "12亿3456万7890" << "88" << idle
                       << QStringList{success("10001"), totalHigh("12亿3456万7890", "88")};
    // Bytes that aren't UTF-8 are just part of the body; the counts around them still count.
    QTest::newRow("invalid UTF-8 around the counts")
        << QByteArray("\xff\xfe") + StatisticsReply("2000", "150") + "\x80" << 200 << "2000" << "150" << idle
        << QStringList{success("10001"), bothHigh("2000", "150")};
    QTest::newRow("empty body") << QByteArray() << 200 << "0" << "0" << retry
                                << QStringList{Failure};
    QTest::newRow("spaces only") << QByteArray("   ") << 200 << "0" << "0" << retry
                                 << QStringList{Failure};
    QTest::newRow("no key: a closed space") << QByteArray("_Callback({\"code\":-4009});") << 200
                                            << "0" << "0" << retry << QStringList{Failure};
    QTest::newRow("keys in another case") << QByteArray(R"("VISITCOUNT":1,"DAYVISIT":2,"SPACEMARK":)")
                                          << 200 << "0" << "0" << retry << QStringList{Failure};
    QTest::newRow("keys in another order") << QByteArray(R"("dayvisit":5,"visitcount":100,"spacemark":)")
                                           << 200 << "0" << "0" << retry << QStringList{Failure};
    QTest::newRow("HTTP 404 with counts") << StatisticsReply("2000", "150") << 404 << "0" << "0" << retry
                                          << QStringList{Failure};
    QTest::newRow("HTTP 500") << QByteArray("oops") << 500 << "0" << "0" << retry
                              << QStringList{Failure};
}
// clang-format on

void TestLookup::outcome()
{
    QFETCH(QByteArray, body);
    QFETCH(int, status);
    window->service.answer(body, status);

    QTEST(window->lookUp(QStringLiteral("10001")), "messages");
    QTEST(window->Label7->caption(), "total");
    QTEST(window->Label9->caption(), "today");
    QTEST(window->Command1->text(), "caption");
    QVERIFY(window->Command1->isEnabled());
}

void TestLookup::buttonIsBusyUntilTheResultIsShown()
{
    window->service.answer(StatisticsReply("2000", "150"));
    int paintsDuringFetch = 0;
    QStringList states;
    auto state = [&] {
        return QStringLiteral("%1 %2")
            .arg(window->Command1->isEnabled())
            .arg(window->Command1->text());
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
        window->Command1->installEventFilter(&paintCounter);
    });
    window->boxes.onShown = [&](const MessageBoxDriver::Box &) { states << state(); };

    window->lookUp(QStringLiteral("10001"));
    states << state();
    QCOMPARE(states, (QStringList{"0 获取人气信息中", "1 获取空间人气", "1 获取空间人气"}));

    window->service.answer(QByteArray());
    states.clear();
    window->lookUp(QStringLiteral("10001"));
    states << state();
    QCOMPARE(states, (QStringList{"0 获取人气信息中", "1 重新尝试获取"}));
    QVERIFY(paintsDuringFetch > 0);
}

void TestLookup::failureAfterSuccessShowsZeros()
{
    window->service.answer(StatisticsReply("123456", "150"));
    window->lookUp(QStringLiteral("10001"));
    QCOMPARE(window->Label7->caption(), QStringLiteral("12万3456"));

    window->service.fail(Fault::CloseAtOnce);
    QCOMPARE(window->lookUp(QStringLiteral("10001")), QStringList{Failure});
    QCOMPARE(window->Label7->caption(), QStringLiteral("0"));
    QCOMPARE(window->Label9->caption(), QStringLiteral("0"));
}

void TestLookup::focusComesBackToTheButton()
{
    window->service.answer(StatisticsReply("1", "1"));
    window->form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window->form));
    window->Command1->setFocus();
    window->boxes.answer({vbOK});
    QTest::keyClick(window->Command1, Qt::Key_Space);
    QCOMPARE(window->boxes.boxes.size(), 1);
    QCOMPARE(window->form.focusWidget(), window->Command1);
}

// clang-format off
void TestLookup::faultsEndOnTheFailureBranch_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("host"); // empty: the stand-in

    QTest::newRow("close at once") << Fault::CloseAtOnce << QByteArray() << QString();
    QTest::newRow("reset mid-body") << Fault::ResetMidBody << StatisticsReply("2000", "150") << QString();
    QTest::newRow("never answers") << Fault::NeverAnswer << QByteArray() << QString();
    QTest::newRow("drips past the deadline") << Fault::Drip << StatisticsReply("2000", "150") << QString();
    QTest::newRow("endless body") << Fault::Endless << QByteArray() << QString();
    QTest::newRow("1 GiB body") << Fault::Huge << QByteArray() << QString();
    QTest::newRow("redirect loop") << Fault::RedirectLoop << QByteArray() << QString();
    QTest::newRow("binary body") << Fault::None << BinaryBody() << QString();
    QTest::newRow("unknown host") << Fault::None << QByteArray() << "vistameter.invalid";
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    QTest::newRow("connection refused") << Fault::None << QByteArray()
                                        << QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
}
// clang-format on

void TestLookup::faultsEndOnTheFailureBranch()
{
    QFETCH(Fault, fault);
    QFETCH(QByteArray, body);
    QFETCH(QString, host);
    if (!host.isEmpty()) {
        window = std::make_unique<WindowUnderTest>(std::chrono::seconds(1), host);
        QVERIFY(window->loaded);
    }
    window->service.fail(fault, body);
    window->service.setDripInterval(std::chrono::milliseconds(100));

    QElapsedTimer clock;
    clock.start();
    QCOMPARE(window->lookUp(QStringLiteral("10001")), QStringList{Failure});
    // The test deadline is 1 s; the box and the stand-in add a little.
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(window->Label7->caption(), QStringLiteral("0"));
    QCOMPARE(window->Label9->caption(), QStringLiteral("0"));
    QCOMPARE(window->Command1->text(), QStringLiteral("重新尝试获取"));
    QVERIFY(window->Command1->isEnabled());
    // The window takes input afterwards.
    QTest::keyClicks(window->Text1, QStringLiteral("2"));
    QCOMPARE(window->Text1->text(), QStringLiteral("100012"));
}

// clang-format off
void TestLookup::requestCarriesTheTrimmedEncodedAccount_data()
{
    QTest::addColumn<QString>("account");
    QTest::addColumn<QByteArray>("requestLine");

    QTest::newRow("spaces around")
        << "  10001  " << QByteArray("GET /fcg-bin/cgi_emotion_list.fcg?uin=10001 HTTP/1.1");
    QTest::newRow("empty") << "" << QByteArray("GET /fcg-bin/cgi_emotion_list.fcg?uin= HTTP/1.1");
    QTest::newRow("space and ampersand")
        << "1 2&uin=3" << QByteArray("GET /fcg-bin/cgi_emotion_list.fcg?uin=1%202%26uin%3D3 HTTP/1.1");
    QTest::newRow("query delimiters")
        << "#%/?+" << QByteArray("GET /fcg-bin/cgi_emotion_list.fcg?uin=%23%25%2F%3F%2B HTTP/1.1");
    QTest::newRow("not ASCII") << "号１"
                               << QByteArray("GET /fcg-bin/cgi_emotion_list.fcg?uin=%E5%8F%B7%EF%BC%91 HTTP/1.1");
}
// clang-format on

void TestLookup::requestCarriesTheTrimmedEncodedAccount()
{
    QFETCH(QString, account);
    QFETCH(QByteArray, requestLine);
    window->service.answer(StatisticsReply("1", "1"));
    QCOMPARE(window->lookUp(account).value(0), success(account));
    QCOMPARE(window->service.requestLines, QList<QByteArray>{requestLine});
}

void TestLookup::accountIsShownAsPlainText()
{
    window->service.answer(StatisticsReply("1", "1"));
    const QString markup = QStringLiteral("<b>1</b><img src=\"/etc/passwd\">");
    QCOMPARE(window->lookUp(markup).value(0), success(markup));
    QVERIFY(window->boxes.boxes.value(0).plainText);
}

void TestLookup::closeDuringTheFetchWaitsForTheLookup()
{
    window->service.fail(Fault::NeverAnswer);
    QStringList order;
    QTimer::singleShot(100, &window->form, [&] {
        order << QStringLiteral("close asked");
        window->form.close();
    });
    window->boxes.onShown = [&](const MessageBoxDriver::Box &box) { order << box.text.left(2); };
    window->boxes.answer({vbOK, vbNo});
    window->Text1->setText(QStringLiteral("10001"));
    QTest::mouseClick(window->Command1, Qt::LeftButton);
    QTRY_COMPARE(order, (QStringList{"close asked", "抱歉", "您确"}));
    QVERIFY(window->form.isVisible());
    QCOMPARE(window->Label7->caption(), QStringLiteral("0"));
}

QTEST_MAIN(TestLookup)
#include "TestLookup.moc"
