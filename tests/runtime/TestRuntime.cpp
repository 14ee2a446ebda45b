// SPDX-License-Identifier: MIT
#include "support/Fixtures.h"
#include "support/MessageBoxDriver.h"
#include "support/StandInService.h"

#include "runtime/App.h"
#include "runtime/Form.h"
#include "runtime/Inet.h"
#include "runtime/Label.h"
#include "runtime/MsgBox.h"
#include "runtime/RuntimeError.h"
#include "runtime/Shell.h"
#include "runtime/SkinH.h"
#include "runtime/StatusBar.h"
#include "runtime/TextBox.h"
#include "runtime/User32.h"

#include "config.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

using namespace Runtime;

class TestRuntime : public QObject
{
    Q_OBJECT

private slots:
    void msgBox_data();
    void msgBox();
    void msgBoxRefusesButtonSetsItCantShow();
    void msgBoxKeepsToTheScreen_data();
    void msgBoxKeepsToTheScreen();
    void msgBoxAnswers_data();
    void msgBoxAnswers();
    void msgBoxAnswersTakeTurnsWhileTheyLive();

    void inetDecodesUtf8AndKeepsAscii();
    void inetUsesItsRemotePortForUrlsWithoutOne();
    void inetTellsWhyTheLastTransferFailed();

    void labelFollowsItsCaptionAndFont();
    void textBoxKeepsCrLfLines();
    void statusBarStaysDockedAtTheBottom();
    void styleCallsMapTheSizingBorder();

    void shellStartsWithoutAShell();
    void shellReportsAProgramThatCantStart();
    void skinLoaderReportsWhatIsMissing();

    void handlerErrorIsShownAndEndsTheProgram();
    void loadErrorEndsBeforeTheWindowShows();
};

// clang-format off
void TestRuntime::msgBox_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("defaultButton");

    const QStringList ok{"确定"};
    const QStringList yesNo{"是(&Y)", "否(&N)"};
    QTest::newRow("stop, OK") << int(vbOKOnly + vbCritical) << int(vbOK) << int(vbOK) << ok << "确定";
    QTest::newRow("information, OK") << int(vbInformation) << int(vbOK) << int(vbOK) << ok << "确定";
    QTest::newRow("Yes/No answered Yes") << int(vbYesNo + vbInformation) << int(vbYes) << int(vbYes)
                                         << yesNo << "是(&Y)";
    QTest::newRow("Yes/No answered No") << int(vbYesNo + vbInformation) << int(vbNo) << int(vbNo)
                                        << yesNo << "是(&Y)";
}
// clang-format on

void TestRuntime::msgBox()
{
    QFETCH(int, style);
    QFETCH(int, answer);
    MessageBoxDriver driver;
    driver.answer({answer});
    const QString prompt = QStringLiteral("a\rb\r\nc <b>d</b>");
    const QString title = QStringLiteral("OmblePellin提示");

    QTEST(MsgBox(nullptr, prompt, style, title), "result");
    QCOMPARE(driver.boxes.size(), 1);
    const MessageBoxDriver::Box box = driver.boxes.first();
    QCOMPARE(box.text, QStringLiteral("a\nb\nc <b>d</b>"));
    QVERIFY(box.plainText);
    QCOMPARE(box.style, style);
    QCOMPARE(box.title, title);
    QTEST(box.buttons, "buttons");
    QTEST(box.defaultButton, "defaultButton");
    QVERIFY(!(box.flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    // Room for the title set in bold, and for the icon and buttons beside it.
    QFont bold = QApplication::font();
    bold.setBold(true);
    QVERIFY(box.frame.width() >= QFontMetrics(bold).horizontalAdvance(title) + 90);
}

void TestRuntime::msgBoxKeepsToTheScreen_data()
{
    QTest::addColumn<QString>("prompt");

    // As long as a statistics reply may be; it took 4.6 s to fit when the box was laid out
    // again and again.
    QTest::newRow("a word of 1 MiB") << QString(1 << 20, u'9');
    QTest::newRow("many short lines") << QStringLiteral("一行\r").repeated(100000);
}

void TestRuntime::msgBoxKeepsToTheScreen()
{
    QFETCH(QString, prompt);
    MessageBoxDriver driver;
    driver.answer({vbOK});
    QElapsedTimer clock;
    clock.start();
    MsgBox(nullptr, prompt, vbInformation, QStringLiteral("标题"));
    qInfo("shown and answered in %lld ms", clock.elapsed());
    const MessageBoxDriver::Box box = driver.boxes.value(0);
    QVERIFY(box.screen.contains(box.frame));
    QVERIFY(box.text.contains(u'…'));
    // Generous, for a sanitizer build on a busy machine: a box that measured its text over and
    // over again froze for seconds.
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
}

// clang-format off
void TestRuntime::msgBoxAnswers_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QList<int>>("answers");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("unanswered");

    const int yesNo = vbYesNo + vbInformation;
    QTest::newRow("OK") << int(vbCritical) << QList<int>{vbOK} << int(vbOK) << 0;
    QTest::newRow("Yes/No answered Yes") << yesNo << QList<int>{vbYes} << int(vbYes) << 0;
    QTest::newRow("Yes/No answered No") << yesNo << QList<int>{vbNo} << int(vbNo) << 0;
    // As when the box is closed without a choice.
    QTest::newRow("OK, no answer left") << int(vbInformation) << QList<int>() << int(vbOK) << 1;
    QTest::newRow("Yes/No, no answer left") << yesNo << QList<int>() << int(vbNo) << 1;
    QTest::newRow("Yes for an OK box") << int(vbInformation) << QList<int>{vbYes} << int(vbOK) << 1;
    QTest::newRow("OK for a Yes/No box") << yesNo << QList<int>{vbOK} << int(vbNo) << 1;
}
// clang-format on

void TestRuntime::msgBoxAnswers()
{
    QFETCH(int, style);
    QFETCH(QList<int>, answers);
    // A box that showed after all would be seen here, and answered.
    MessageBoxDriver driver;
    MsgBoxAnswers answered(answers);

    QTEST(MsgBox(nullptr, QStringLiteral("a\rb\r\nc"), style, QStringLiteral("标题")), "result");
    QTEST(answered.unanswered(), "unanswered");
    QCOMPARE(answered.boxes().size(), 1);
    const MsgBoxAnswers::Box box = answered.boxes().first();
    QCOMPARE(box.text, QStringLiteral("a\nb\nc"));
    QCOMPARE(box.title, QStringLiteral("标题"));
    QCOMPARE(box.style, style);
    QVERIFY(driver.boxes.isEmpty());
}

void TestRuntime::msgBoxAnswersTakeTurnsWhileTheyLive()
{
    MessageBoxDriver driver;
    driver.answer({vbOK});
    {
        MsgBoxAnswers outer({vbNo});
        {
            MsgBoxAnswers inner({vbYes});
            QCOMPARE(MsgBox(nullptr, QStringLiteral("1"), vbYesNo, QString()), int(vbYes));
        }
        outer.answer({vbOK});
        QCOMPARE(MsgBox(nullptr, QStringLiteral("2"), vbYesNo, QString()), int(vbNo));
        QCOMPARE(MsgBox(nullptr, QStringLiteral("3"), vbOKOnly, QString()), int(vbOK));
        // A style no box can show is refused all the same.
        QVERIFY_THROWS_EXCEPTION(RuntimeError, MsgBox(nullptr, QStringLiteral("4"), 3, QString()));
        QCOMPARE(outer.boxes().size(), 2);
        QCOMPARE(outer.boxes().at(1).text, QStringLiteral("3"));
        QVERIFY(driver.boxes.isEmpty());
    }
    // One that goes before a later one leaves the later one answering, and is never asked
    // again once gone.
    auto first = std::make_unique<MsgBoxAnswers>();
    {
        const MsgBoxAnswers later({vbYes});
        first.reset();
        QCOMPARE(MsgBox(nullptr, QStringLiteral("5"), vbYesNo, QString()), int(vbYes));
        QCOMPARE(later.boxes().size(), 1);
    }
    // Without them, the box shows again.
    QCOMPARE(MsgBox(nullptr, QStringLiteral("6"), vbOKOnly, QString()), int(vbOK));
    QCOMPARE(driver.boxes.size(), 1);
}

void TestRuntime::msgBoxRefusesButtonSetsItCantShow()
{
    try {
        MsgBox(nullptr, QStringLiteral("?"), 3, QString());
        QFAIL("no error raised");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), 5);
    }
}

void TestRuntime::inetDecodesUtf8AndKeepsAscii()
{
    StandInService service;
    service.answer(QByteArray("\"visitcount\":12,\xff\xfe\"day\":") + "人" + "\x80");
    QCOMPARE(Inet().OpenURL(service.url("/")),
             QStringLiteral("\"visitcount\":12,\uFFFD\uFFFD\"day\":人\uFFFD"));
}

void TestRuntime::inetUsesItsRemotePortForUrlsWithoutOne()
{
    StandInService service;
    service.answer("ok");
    Inet inet;
    QCOMPARE(inet.remotePort(), 80);
    inet.setRemotePort(service.host().section(u':', 1).toInt());
    QCOMPARE(inet.OpenURL(QStringLiteral("http://127.0.0.1/x")), QStringLiteral("ok"));

    // The remote port is plain HTTP's: an https address goes to 443, not to a server that
    // would answer it there.
    StandInService::trustTestAuthority();
    StandInService secure(StandInService::Certificate::Trusted);
    secure.answer("ok");
    inet.setRemotePort(secure.host().section(u':', 1).toInt());
    QCOMPARE(inet.OpenURL(QStringLiteral("https://127.0.0.1/x")), QString());
    QVERIFY(secure.requestLines.isEmpty());
}

void TestRuntime::inetTellsWhyTheLastTransferFailed()
{
    StandInService service;
    service.answer("gone", 404);
    Inet inet;
    QCOMPARE(inet.OpenURL(service.url("/")), QString());
    QCOMPARE(int(inet.lastError().status), int(TransferStatus::Failed));
    QCOMPARE(inet.lastError().reason, QStringLiteral("HTTP status 404"));

    service.answer("ok");
    QCOMPARE(inet.OpenURL(service.url("/")), QStringLiteral("ok"));
    QCOMPARE(int(inet.lastError().status), int(TransferStatus::Succeeded));
    QCOMPARE(inet.lastError().reason, QString());
}

void TestRuntime::labelFollowsItsCaptionAndFont()
{
    QWidget form;
    Label label(&form);
    label.move(112, 80);
    // A line high, and the leading that a font may put between lines, as a label's text has.
    QCOMPARE(label.geometry(), QRect(112, 80, 6, label.sizeHint().height()));
    QVERIFY(label.height() >= label.fontMetrics().height());

    label.setCaption(QStringLiteral("12亿3456万7890"));
    const int wide = label.width();
    QCOMPARE(wide, label.sizeHint().width());
    QVERIFY(wide >= label.fontMetrics().horizontalAdvance(label.caption()));
    QCOMPARE(label.pos(), QPoint(112, 80));

    QFont larger = label.font();
    larger.setPixelSize(24);
    label.setFont(larger);
    QVERIFY(label.width() > wide);
    QCOMPARE(label.height(), label.sizeHint().height());

    label.setCaption(QString());
    QCOMPARE(label.width(), 6);
}

void TestRuntime::textBoxKeepsCrLfLines()
{
    TextBox box;
    const QString text = QStringLiteral("一\r\n\r\n  二：\r\n");
    box.setText(text);
    QCOMPARE(box.text(), text);
    QCOMPARE(box.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(box.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

void TestRuntime::statusBarStaysDockedAtTheBottom()
{
    QWidget form;
    form.resize(449, 305);
    StatusBar bar(33, &form);
    QLabel *panel = bar.addPanel(QStringLiteral("notice"), 429, 96);
    form.show();
    QCOMPARE(bar.geometry(), QRect(0, 272, 449, 33));
    QTRY_COMPARE(panel->width(), 429);
    QCOMPARE(panel->minimumWidth(), 96);

    form.resize(300, 200);
    QTRY_COMPARE(bar.geometry(), QRect(0, 167, 300, 33));
}

void TestRuntime::styleCallsMapTheSizingBorder()
{
    QWidget window;
    window.resize(449, 305);
    const qint32 before = GetWindowLongA(&window, GWL_STYLE);
    QCOMPARE(before & (WS_THICKFRAME | WS_CAPTION | WS_SYSMENU),
             WS_THICKFRAME | WS_CAPTION | WS_SYSMENU);
    QCOMPARE(GetWindowLongA(&window, -20), 0);

    QCOMPARE(SetWindowLongA(&window, GWL_STYLE, before & ~WS_THICKFRAME), before);
    QCOMPARE(GetWindowLongA(&window, GWL_STYLE), before & ~WS_THICKFRAME);
    QCOMPARE(window.minimumSize(), QSize(449, 305));
    QCOMPARE(window.maximumSize(), QSize(449, 305));
    QVERIFY(window.windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint));

    // Shown, the window stays shown and gets its border back.
    window.show();
    const qint32 shown = GetWindowLongA(&window, GWL_STYLE);
    QVERIFY(shown & WS_VISIBLE);
    SetWindowLongA(&window, GWL_STYLE, shown | WS_THICKFRAME);
    QCOMPARE(GetWindowLongA(&window, GWL_STYLE), shown | WS_THICKFRAME);
    QVERIFY(window.isVisible());
    QVERIFY(window.minimumSize() != window.maximumSize());
}

void TestRuntime::shellStartsWithoutAShell()
{
    QTemporaryDir dir;
    const QString notes = dir.filePath(QStringLiteral("notes"));
    // Through a shell, the ';' would end the command; the space and the quotes must survive
    // the command line that Windows builds from the arguments.
    const QString argument = QStringLiteral(R"(a;b "c d")");
    QVERIFY(Shell({noteArguments(), notes, argument}, vbMinimizedFocus) > 0);
    const auto noted = [&notes] {
        QFile file(notes);
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
    };
    QTRY_COMPARE(noted(), argument + u'\n');
}

void TestRuntime::shellReportsAProgramThatCantStart()
{
    try {
        Shell({QStringLiteral("vistameter-no-such-program"), QStringLiteral("x")}, vbNormalFocus);
        QFAIL("no error raised");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), 53);
        QVERIFY(error.description().contains(QLatin1String("vistameter-no-such-program")));
    }
}

void TestRuntime::skinLoaderReportsWhatIsMissing()
{
    QTemporaryDir empty;
    try {
        SkinH(empty.path()).SkinH_AttachEx(QStringLiteral("x"), QString());
        QFAIL("no error raised");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), 53);
        QVERIFY(error.description().contains(QLatin1String("SkinH_VB6")));
    }

    // The engine under a name that isn't its file's is no engine.
    QVERIFY(QFile::copy(App::Path() + QStringLiteral("/" VISTAMETER_SKIN_ENGINE_FILE),
                        empty.filePath(QStringLiteral("SkinH_VB6"))));
    try {
        SkinH(empty.path()).SkinH_AttachEx(QStringLiteral("x"), QString());
        QFAIL("no error raised");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.number(), 53);
    }

    // A library by the engine's name without the engine's entry point, or with its name
    // exported as data, which a call would crash on.
    for (const char *folder : {"/no-entry-point", "/data-entry-point"}) {
        try {
            SkinH(App::Path() + QLatin1String(folder))
                .SkinH_AttachEx(QStringLiteral("x"), QString());
            QFAIL("no error raised");
        } catch (const RuntimeError &error) {
            QCOMPARE(error.number(), 453);
            QVERIFY(error.description().contains(QLatin1String("SkinH_AttachEx")));
            QVERIFY(error.description().contains(QLatin1String("SkinH_VB6")));
        }
    }
}

namespace {

class FailingForm : public Form
{
public:
    bool failOnLoad = false;
    QPushButton *button = new QPushButton(this);

    FailingForm() { onClick(button, this, &FailingForm::fail); }

protected:
    void Form_Load() override
    {
        if (failOnLoad)
            fail();
    }

private:
    void fail() { throw RuntimeError(53, QStringLiteral("找不到文件: x.dll")); }
};

} // namespace

void TestRuntime::handlerErrorIsShownAndEndsTheProgram()
{
    FailingForm form;
    const MsgBoxAnswers boxes({vbOK});
    QTimer::singleShot(0, form.button, &QPushButton::click);

    QCOMPARE(run(form), RuntimeErrorExitStatus);
    QCOMPARE(boxes.boxes().size(), 1);
    QCOMPARE(boxes.boxes().first().style, int(vbCritical));
    QCOMPARE(boxes.boxes().first().text, QStringLiteral("运行时错误 '53':\n\n找不到文件: x.dll"));
}

void TestRuntime::loadErrorEndsBeforeTheWindowShows()
{
    FailingForm form;
    form.failOnLoad = true;
    const MsgBoxAnswers boxes({vbOK});

    QCOMPARE(run(form), RuntimeErrorExitStatus);
    QCOMPARE(boxes.boxes().size(), 1);
    QVERIFY(!form.isVisible());
    QVERIFY(!form.testAttribute(Qt::WA_WState_ExplicitShowHide));
}

QTEST_MAIN(TestRuntime)
#include "TestRuntime.moc"
