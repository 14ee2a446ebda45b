// SPDX-License-Identifier: MIT
#include "text/CounterText.h"
#include "text/MessageText.h"

#include <QTest>

class TestCounterText : public QObject
{
    Q_OBJECT

private slots:
    void cutAndClean_data();
    void cutAndClean();
    void glWorksOnTheCallersText();
    void convNum_data();
    void convNum();
    void readCounts_data();
    void readCounts();
    void countAbove_data();
    void countAbove();
    void elideMiddle_data();
    void elideMiddle();
    void isolate_data();
    void isolate();
    void loggable_data();
    void loggable();
};

// clang-format off
void TestCounterText::cutAndClean_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("totalValue");
    QTest::addColumn<QString>("todayValue");
    QTest::addColumn<QString>("totalCount");
    QTest::addColumn<QString>("todayCount");

    QTest::newRow("unquoted") << R"("visitcount":2000,"dayvisit":150,"spacemark":)"
                              << "2000," << "150," << "2000" << "150";
    QTest::newRow("quoted") << R"("visitcount":"2000","dayvisit":"150","spacemark":)"
                            << R"("2000",)" << R"("150",)" << "2000" << "150";
    QTest::newRow("spaces stay") << R"("visitcount": 2000 , "dayvisit":)"
                                 << " 2000 , " << "" << " 2000  " << "";
    QTest::newRow("empty quoted value") << R"("visitcount":"","dayvisit":)"
                                        << R"("",)" << "" << "" << "";
    QTest::newRow("adjacent keys") << R"("visitcount":"dayvisit":)" << "" << "" << "" << "";
    QTest::newRow("no spacemark") << R"("visitcount":1,"dayvisit":2,)" << "1," << "" << "1" << "";
    // Without "dayvisit": today's cut starts at character 11 of the reply.
    QTest::newRow("no dayvisit") << R"(0123456789abcdef"spacemark":)" << ""
                                 << "abcdef" << "" << "abcdef";
    QTest::newRow("no dayvisit, spacemark early") << R"(0123"spacemark":)" << "" << "" << "" << "";
    // Without "visitcount": the total's cut is characters 13 to 19.
    QTest::newRow("no visitcount") << R"(0123456789abCDEFGHI"dayvisit":)" << "CDEFGHI" << ""
                                   << "CDEFGHI" << "";
    QTest::newRow("no key") << "<html>busy</html>" << "" << "" << "" << "";
    QTest::newRow("keys out of order") << R"("dayvisit":5,"visitcount":100,"spacemark":)" << ""
                                       << R"(5,"visitcount":100,)" << "" << "5visitcount:100";
    QTest::newRow("member in between") << R"("visitcount":9,"dayvisit":5,"other":7,"spacemark":)"
                                       << "9," << R"(5,"other":7,)" << "9" << "5other:7";
    // A key not found counts as missing: the total's cut starts at character 13.
    QTest::newRow("other case") << R"("VisitCount":1,"dayvisit":2,"spacemark":)" << ":1,"
                                << "2," << ":1" << "2";
    QTest::newRow("space before colon") << R"("visitcount" :1,"dayvisit":2,"spacemark":)"
                                        << " :1," << "2," << " :1" << "2";
    QTest::newRow("first occurrence counts")
        << R"("visitcount":1,"dayvisit":2,"spacemark":0,"visitcount":3,"dayvisit":4,"spacemark":)"
        << "1," << "2," << "1" << "2";
}
// clang-format on

void TestCounterText::cutAndClean()
{
    QFETCH(QString, reply);
    QFETCH(QString, totalValue);
    QFETCH(QString, todayValue);
    QFETCH(QString, totalCount);
    QFETCH(QString, todayCount);

    ValueTexts values = cutCounters(reply);
    QCOMPARE(values.total, totalValue);
    QCOMPARE(values.today, todayValue);
    QCOMPARE(gl(values.total), totalCount);
    QCOMPARE(gl(values.today), todayCount);
}

void TestCounterText::glWorksOnTheCallersText()
{
    QString value = QStringLiteral(R"("1,2",3")");
    const QString count = gl(value);
    QCOMPARE(count, QStringLiteral("123"));
    QCOMPARE(value, QStringLiteral("123"));

    QString nothing;
    QCOMPARE(gl(nothing), QString());
}

// clang-format off
void TestCounterText::convNum_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("countAfterwards");

    QTest::newRow("empty") << "" << "" << "";
    QTest::newRow("one digit") << "7" << "7" << "7";
    QTest::newRow("four digits") << "1234" << "1234" << "1234";
    QTest::newRow("five digits") << "12345" << "1万2345" << "12345";
    QTest::newRow("zero group kept") << "10000" << "1万0000" << "10000";
    QTest::newRow("eight digits") << "12345678" << "1234万5678" << "12345678";
    QTest::newRow("nine digits") << "123456789" << "1亿2345万6789" << "123456789";
    QTest::newRow("hundred million") << "100000000" << "1亿0000万0000" << "100000000";
    QTest::newRow("leading zeros kept") << "000012345" << "0亿0001万2345" << "000012345";
    QTest::newRow("thirteen digits") << "1234567890123" << "12345亿6789万0123"
                                     << "1234567890123";
    QTest::newRow("no third unit") << "12345678901234567" << "123456789亿0123万4567"
                                   << "12345678901234567";
    QTest::newRow("spaces trimmed") << "  98765 " << "9万8765" << "98765";
    QTest::newRow("no digit check") << "abcde" << "a万bcde" << "abcde";
    QTest::newRow("tab is a character") << "1234\t" << "1万234\t" << "1234\t";
    QTest::newRow("inner space counts") << "1 2345" << "1 万2345" << "1 2345";
    // The ideographic space is trimmed like the space, as it is from the account.
    QTest::newRow("ideographic spaces trimmed") << "\u30001234\u3000 " << "1234" << "1234";
}
// clang-format on

void TestCounterText::convNum()
{
    QFETCH(QString, count);
    QFETCH(QString, display);
    QFETCH(QString, countAfterwards);

    QCOMPARE(ConvNum(count), display);
    QCOMPARE(count, countAfterwards);
}

// clang-format off
void TestCounterText::readCounts_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("fault"); // empty: the counts are read
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("today");

    const QString none = QStringLiteral("the reply held no counts");
    const QString total = QStringLiteral("the total is no count: ");
    const QString today = QStringLiteral("today's count is no count: ");
    QTest::newRow("service shape")
        << R"(_Callback({"data":{"visitcount":2000,"dayvisit":150,"spacemark":1}}))" << ""
        << "2000" << "150";
    QTest::newRow("quoted, spaced") << R"("visitcount": "12" , "dayvisit": "0" ,"spacemark":)"
                                    << "" << "12" << "0";
    QTest::newRow("empty reply") << "" << none << "" << "";
    QTest::newRow("spaces only") << "   " << none << "" << "";
    QTest::newRow("no key") << "<html>busy</html>" << none << "" << "";
    QTest::newRow("empty value") << R"("visitcount":"","dayvisit":1,"spacemark":)"
                                 << total + "empty" << "" << "";
    QTest::newRow("spacemark missing") << R"("visitcount":1,"dayvisit":2,)" << today + "empty"
                                       << "" << "";
    QTest::newRow("keys out of order") << R"("dayvisit":5,"visitcount":100,"spacemark":)"
                                       << total + "empty" << "" << "";
    QTest::newRow("member in between") << R"("visitcount":9,"dayvisit":5,"other":7,"spacemark":)"
                                       << today + "8 characters, not all digits" << "" << "";
    QTest::newRow("full-width digits") << "\"visitcount\":１２,\"dayvisit\":1,\"spacemark\":"
                                       << total + "2 characters, not all digits" << "" << "";
    QTest::newRow("negative") << R"("visitcount":-1,"dayvisit":1,"spacemark":)"
                              << total + "2 characters, not all digits" << "" << "";
    const QString twenty(20, u'9');
    QTest::newRow("20 digits") << "\"visitcount\":" + twenty + ",\"dayvisit\":1,\"spacemark\":" << ""
                               << twenty << "1";
    QTest::newRow("21 digits") << "\"visitcount\":1,\"dayvisit\":" + twenty + "0,\"spacemark\":"
                               << today + "21 digits" << "" << "";
    QTest::newRow("ideographic spaces") << "\"visitcount\":\u30002,\"dayvisit\":1\u3000,\"spacemark\":"
                                        << "" << "2" << "1";
    // Digits in the place of a missing key are not a count.
    QTest::newRow("visitcount missing, digits in its place")
        << R"(000000000000123"dayvisit":1,"spacemark":)" << none << "" << "";
}
// clang-format on

void TestCounterText::readCounts()
{
    QFETCH(QString, reply);
    QFETCH(QString, fault);

    QString why;
    const std::optional<Counts> counts = ::readCounts(reply, &why);
    QCOMPARE(counts.has_value(), fault.isEmpty());
    QCOMPARE(why, fault);
    if (counts) {
        QTEST(counts->total, "total");
        QTEST(counts->today, "today");
    }
}

// clang-format off
void TestCounterText::countAbove_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<quint64>("limit");
    QTest::addColumn<bool>("above");

    QTest::newRow("100 is not above 100") << "100" << quint64(100) << false;
    QTest::newRow("101") << "101" << quint64(100) << true;
    QTest::newRow("99") << "99" << quint64(100) << false;
    QTest::newRow("0") << "0" << quint64(100) << false;
    QTest::newRow("leading zeros") << "000101" << quint64(100) << true;
    QTest::newRow("zeros only") << "0000000" << quint64(100) << false;
    QTest::newRow("99999") << "99999" << quint64(100000) << false;
    QTest::newRow("100000") << "100000" << quint64(100000) << false;
    QTest::newRow("100001") << "100001" << quint64(100000) << true;
    QTest::newRow("longer than any number")
        << QString(400, u'9') << quint64(100000) << true;
}
// clang-format on

void TestCounterText::countAbove()
{
    QFETCH(QString, count);
    QFETCH(quint64, limit);
    QTEST(::countAbove(count, limit), "above");
}

// clang-format off
void TestCounterText::elideMiddle_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("maxLength");
    QTest::addColumn<QString>("shown");

    QTest::newRow("short enough") << "10001" << qsizetype(40) << "10001";
    QTest::newRow("as long as a text box takes")
        << QString(32767, u'7') << qsizetype(40) << QString(20, u'7') + "…" + QString(19, u'7');
    // A surrogate pair or a letter with its accent is kept whole or left out whole.
    QTest::newRow("surrogate pairs") << QString("😀").repeated(30) << qsizetype(11)
                                     << "😀😀…😀😀";
    QTest::newRow("combining accents") << QString("e\u0301").repeated(10) << qsizetype(8)
                                       << "e\u0301e\u0301…e\u0301";
}
// clang-format on

void TestCounterText::elideMiddle()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, maxLength);
    const QString shown = ::elideMiddle(text, maxLength);
    QTEST(shown, "shown");
    QVERIFY(shown.size() <= maxLength);
}

// clang-format off
void TestCounterText::isolate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("isolated");

    QTest::newRow("account") << "10001" << "\u206810001\u2069";
    QTest::newRow("empty") << "" << "\u2068\u2069";
    // An override is ended by the closing mark, so it stays inside.
    QTest::newRow("right-to-left override") << "\u202E10001" << "\u2068\u202E10001\u2069";
    QTest::newRow("stray closing mark dropped") << "1\u20692" << "\u206812\u2069";
    QTest::newRow("open isolate closed") << "\u20671" << "\u2068\u20671\u2069\u2069";
    QTest::newRow("each line its own pair") << "\u2067a\r\nb" << "\u2068\u2067a\u2069\u2069\r\n\u2068b\u2069";
}
// clang-format on

void TestCounterText::isolate()
{
    QFETCH(QString, text);
    QTEST(::isolate(text), "isolated");
}

// clang-format off
void TestCounterText::loggable_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("logged");

    const QString sevens(MaxLoggedLength - 1, u'7');
    QTest::newRow("plain") << "gzip, 人气" << "gzip, 人气";
    // Clears the screen, sets the title, rings, returns to the line's start.
    QTest::newRow("C0 and DEL") << "\x1b[2J\x1b]0;x\x07\r\n\x7f" << "\\x1b[2J\\x1b]0;x\\x07\\x0d\\x0a\\x7f";
    QTest::newRow("C1 CSI and NEL") << "\u009b2J\u0085" << "\\x9b2J\\x85";
    QTest::newRow("direction marks")
        << "\u061c\u200e\u200f\u202a\u202b\u202c\u202d\u202e\u2066\u2067\u2068\u2069"
        << "\\u061c\\u200e\\u200f\\u202a\\u202b\\u202c\\u202d\\u202e\\u2066\\u2067\\u2068\\u2069";
    QTest::newRow("cut") << sevens + "77" << sevens + "7…";
    QTest::newRow("cut before a surrogate pair") << sevens + "😀" << sevens + "…";
}
// clang-format on

void TestCounterText::loggable()
{
    QFETCH(QString, text);
    QTEST(::loggable(text), "logged");
}

QTEST_GUILESS_MAIN(TestCounterText)
#include "TestCounterText.moc"
