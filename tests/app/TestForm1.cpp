// SPDX-License-Identifier: MIT
#include "support/Fixtures.h"
#include "support/MessageBoxDriver.h"
#include "support/StandInService.h"
#include "support/WindowUnderTest.h"

#include "runtime/App.h"
#include "runtime/Inet.h"
#include "runtime/Label.h"
#include "runtime/MsgBox.h"
#include "runtime/RuntimeError.h"
#include "runtime/StatusBar.h"
#include "runtime/TextBox.h"
#include "runtime/User32.h"

#include <QAccessible>
#include <QFile>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cmath>
#include <memory>

using namespace Runtime;

namespace {

// Contrast ratio of two colours as WCAG 2 defines it, from 1:1 to 21:1.
double contrast(QRgb a, QRgb b)
{
    auto luminance = [](QRgb c) {
        auto linear = [](int v) {
            const double s = v / 255.0;
            return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(qRed(c)) + 0.7152 * linear(qGreen(c)) + 0.0722 * linear(qBlue(c));
    };
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

// The window as the user meets it: its controls in their places, its texts, its start, its
// close question and its side buttons.
class TestForm1 : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void controlsSitWhereTheyBelong_data();
    void controlsSitWhereTheyBelong();
    void overlappingControlsStackAsLaidOut();
    void fixedTexts_data();
    void fixedTexts();
    void fontsAndTransferControls();
    void helpTextIsKeptToTheCharacter();
    void startsWithTheFocusInAnEmptyAccountBox();
    void enterAndEscapeDoNothing();
    void countersWidenToTheRight();
    void pictures();
    void scaledWindowIsTheSamePicture();
    void skinIsLegible_data();
    void skinIsLegible();
    void screenReaderHearsWhatIsSeen_data();
    void screenReaderHearsWhatIsSeen();
    void accountMessageKeepsToTheScreen_data();
    void accountMessageKeepsToTheScreen();

    void loadSkinsBlanksAndFixesTheSize();
    void fixedSizeHoldsAgainstAForcedResize();
    void closeAsksOnce_data();
    void closeAsksOnce();
    void yesEndsTheProgramWithStatusZero();
    void helpButtonShowsTheHelpText();
    void unseenControlsFollowTheFirstFrame_data();
    void unseenControlsFollowTheFirstFrame();
    void webPageButtonStartsTheOpener();
    void missingOpenerIsARunTimeError();
    void missingSkinEngineEndsBeforeTheWindowShows();

private:
    // Loads and shows the window, and waits for what its first frame doesn't show.
    bool showComplete();

    std::unique_ptr<StandInService> m_service;
    std::unique_ptr<Form1> m_form;
    std::unique_ptr<MessageBoxDriver> m_boxes;
};

void TestForm1::initTestCase()
{
    // As the program's main() does, before any window exists.
    Form1::setUpApplication();
}

void TestForm1::init()
{
    m_service = std::make_unique<StandInService>();
    m_form = std::make_unique<Form1>(testEnvironment(m_service->host()));
    m_boxes = std::make_unique<MessageBoxDriver>();
}

bool TestForm1::showComplete()
{
    if (!m_form->load())
        return false;
    m_form->showCentred();
    return QTest::qWaitFor(
        [this] { return m_form->findChild<TextBox *>(QStringLiteral("Text2")); });
}

void TestForm1::cleanup()
{
    QCOMPARE(m_boxes->unanswered, 0);
    m_boxes.reset();
    m_form.reset();
    m_service.reset();
}

// clang-format off
void TestForm1::controlsSitWhereTheyBelong_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect"); // in Form1's client area; labels: height 0, width 0 when it follows the caption

    QTest::newRow("StatusBar1") << "StatusBar1" << QRect(0, 272, 449, 33);
    QTest::newRow("PicCaption") << "PicCaption" << QRect(160, 416, 640, 48);
    QTest::newRow("PicBorder") << "PicBorder" << QRect(216, 416, 70, 10);
    QTest::newRow("Text1") << "Text1" << QRect(64, 72, 201, 25);
    QTest::newRow("Frame1") << "Frame1" << QRect(40, 40, 369, 105);
    QTest::newRow("Command1") << "Command1" << QRect(280, 72, 105, 25);
    QTest::newRow("Label1") << "Label1" << QRect(224, 120, 84, 0);
    QTest::newRow("Label7") << "Label7" << QRect(312, 120, 6, 0);
    QTest::newRow("Label2") << "Label2" << QRect(64, 120, 84, 0);
    QTest::newRow("Label9") << "Label9" << QRect(152, 120, 6, 0);
    QTest::newRow("Frame2") << "Frame2" << QRect(16, 16, 417, 233);
    QTest::newRow("Frame3") << "Frame3" << QRect(40, 160, 369, 65);
    QTest::newRow("Command4") << "Command4" << QRect(304, 176, 89, 33);
    QTest::newRow("Command3") << "Command3" << QRect(56, 176, 89, 33);
    QTest::newRow("Command2") << "Command2" << QRect(168, 176, 113, 33);
    QTest::newRow("Text2") << "Text2" << QRect(352, 280, 49, 18);
}
// clang-format on

void TestForm1::controlsSitWhereTheyBelong()
{
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    QVERIFY(showComplete());
    QCOMPARE(m_form->size(), QSize(449, 305));

    auto *control = findControl<QWidget>(*m_form, qPrintable(name));
    QCOMPARE(QRect(control->mapTo(m_form.get(), QPoint(0, 0)), control->size()).topLeft(),
             rect.topLeft());
    QCOMPARE(control->width(), rect.width());
    if (rect.height() > 0) {
        QCOMPARE(control->height(), rect.height());
    } else {
        // One line of the window's font, so that no glyph is clipped.
        QCOMPARE(control->height(), control->sizeHint().height());
        QVERIFY(control->height() >= control->fontMetrics().height());
    }
}

void TestForm1::overlappingControlsStackAsLaidOut()
{
    QVERIFY(showComplete());
    auto topAt = [this](int x, int y) {
        for (QWidget *w = m_form->childAt(x, y); w; w = w->parentWidget()) {
            if (!w->objectName().isEmpty() &&
                w->objectName() != QLatin1String("qt_scrollarea_viewport"))
                return w->objectName();
        }
        return QString();
    };
    QCOMPARE(topAt(100, 84), QStringLiteral("Text1"));    // above Frame1 and Frame2
    QCOMPARE(topAt(300, 80), QStringLiteral("Command1")); // in Frame1, above Frame2
    QCOMPARE(topAt(45, 100), QStringLiteral("Frame1"));   // Frame1 above Frame2
    // The status bar hides the help text completely.
    for (int x = 352; x < 352 + 49; x += 4) {
        for (int y = 280; y < 280 + 18; y += 4)
            QCOMPARE(topAt(x, y), QStringLiteral("StatusBar1"));
    }
}

// clang-format off
void TestForm1::fixedTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");

    QTest::newRow("Frame1") << "Frame1" << "窗口";
    QTest::newRow("Frame2") << "Frame2" << "";
    QTest::newRow("Frame3") << "Frame3" << "";
    QTest::newRow("Command1") << "Command1" << "获取空间人气";
    QTest::newRow("Label2") << "Label2" << "今日访问人数：";
    QTest::newRow("Label1") << "Label1" << "历史访问人数：";
    QTest::newRow("Command3") << "Command3" << "软件说明";
    QTest::newRow("Command2") << "Command2" << "访问Pellin博客";
    QTest::newRow("Command4") << "Command4" << "退出软件";
    QTest::newRow("Text1") << "Text1" << "";
}
// clang-format on

void TestForm1::fixedTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QWidget *control = findControl<QWidget>(*m_form, qPrintable(name));
    QString shown;
    if (auto *box = qobject_cast<QGroupBox *>(control))
        shown = box->title();
    else if (auto *button = qobject_cast<QPushButton *>(control))
        shown = button->text();
    else if (auto *label = qobject_cast<QLabel *>(control))
        shown = label->text();
    else if (auto *edit = qobject_cast<QLineEdit *>(control))
        shown = edit->text();
    QCOMPARE(shown, text);
    QCOMPARE(m_form->windowTitle(), QStringLiteral("Tavik.Vistameter"));

    // The status bar carries the maker's notice, on one line.
    auto *panel = findControl<StatusBar>(*m_form, "StatusBar1")->findChild<QLabel *>();
    QVERIFY(!panel->text().isEmpty());
    QVERIFY(!panel->text().contains(u'\n'));
    QVERIFY(panel->fontMetrics().horizontalAdvance(panel->text()) <= 429);
}

void TestForm1::fontsAndTransferControls()
{
    QVERIFY(m_form->load());
    // Of the families asked for, only the first that is installed here.
    const QStringList installed = QFontDatabase::families();
    auto firstInstalled = [&installed](const QStringList &families) {
        for (const QString &family : families) {
            if (installed.contains(family, Qt::CaseInsensitive))
                return family;
        }
        return QString();
    };
    QCOMPARE(m_form->font().pointSize(), 9);
    QCOMPARE(m_form->font().families().first(),
             firstInstalled({"Microsoft YaHei", "Noto Sans CJK SC", "WenQuanYi Micro Hei"}));
    // Under the skin too, a count and a caption of Latin and Chinese each come out in one
    // typeface, 12 px a Chinese character.
    for (const char *name : {"Label9", "Command2"}) {
        QTextLayout layout(QStringLiteral("1亿2345万6789访问Pellin博客"),
                           findControl<QWidget>(*m_form, name)->font());
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        QCOMPARE(layout.glyphRuns().size(), 1);
        QCOMPARE(QFontMetrics(layout.font()).horizontalAdvance(u'万'), 12);
    }
    auto *Text1 = findControl<QLineEdit>(*m_form, "Text1");
    QVERIFY(Text1->font().bold());
    QCOMPARE(Text1->font().pointSize(), 9);
    QCOMPARE(
        Text1->font().families().first(),
        firstInstalled({"SimSun", "宋体", "NSimSun", "WenQuanYi Micro Hei", "Noto Sans CJK SC"}));
    // Chinese in the account box comes out in a font that has it.
    QVERIFY(QFontMetrics(Text1->font()).inFont(u'号'));

    for (const char *name : {"In1", "In2", "In3"}) {
        auto *inet = m_form->findChild<Inet *>(QLatin1String(name));
        QVERIFY2(inet, name);
        QCOMPARE(inet->remotePort(), 80);
    }
    QCOMPARE(Form1(Form1::programEnvironment())
                 .findChild<Inet *>(QStringLiteral("In2"))
                 ->requestTimeout(),
             std::chrono::milliseconds(60000));
}

void TestForm1::helpTextIsKeptToTheCharacter()
{
    QVERIFY(showComplete());
    const QString help = findControl<TextBox>(*m_form, "Text2")->text();
    QCOMPARE(help.size(), 135);
    const QStringList lines = help.split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 10); // nine lines, each ended by CR LF
    QCOMPARE(lines.last(), QString());
    QCOMPARE(lines.at(0), QStringLiteral("本软件可用于QQ空间人气的快速查询"));
    QCOMPARE(lines.at(2), QStringLiteral("此版本为旧版的美化版,修正相关BUG"));
    QCOMPARE(lines.at(3), QString());
    QCOMPARE(lines.at(5), QStringLiteral("没人逼你使用或是让你来这胡言乱语"));
    QCOMPARE(lines.at(8), QString(19, u' ') + QStringLiteral("更新日期：2010.07.02"));
}

void TestForm1::startsWithTheFocusInAnEmptyAccountBox()
{
    QVERIFY(m_form->load());
    m_form->showCentred();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    auto *Text1 = findControl<QLineEdit>(*m_form, "Text1");
    QCOMPARE(QApplication::focusWidget(), Text1);
    QVERIFY(Text1->text().isEmpty());
    // Centred by its frame, give or take the rounding of an odd size.
    QVERIFY((m_form->frameGeometry().center() - m_form->screen()->availableGeometry().center())
                .manhattanLength() <= 2);

    QStringList order;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order, (QStringList{"Command1", "Command2", "Command3", "Command4", "Text1"}));
}

void TestForm1::enterAndEscapeDoNothing()
{
    m_service->answer("\"visitcount\":1,\"dayvisit\":1,\"spacemark\":");
    QVERIFY(m_form->load());
    m_form->showCentred();
    auto *Text1 = findControl<QLineEdit>(*m_form, "Text1");
    Text1->setText(QStringLiteral("10001"));
    QTest::keyClick(Text1, Qt::Key_Return);
    QTest::keyClick(Text1, Qt::Key_Enter);
    QTest::keyClick(Text1, Qt::Key_Escape);
    QTest::qWait(50);
    QVERIFY(m_service->requestLines.isEmpty());
    QVERIFY(m_boxes->boxes.isEmpty());
    QVERIFY(m_form->isVisible());
}

void TestForm1::countersWidenToTheRight()
{
    QVERIFY(m_form->load());
    auto *Label9 = findControl<Label>(*m_form, "Label9");
    auto *Label1 = findControl<Label>(*m_form, "Label1");
    auto *Label7 = findControl<Label>(*m_form, "Label7");
    // Digits half as wide as a Chinese character: a count of up to eight digits stays clear
    // of the caption to its right, with a gap.
    for (const QString &count : {QStringLiteral("1"), QStringLiteral("99"),
                                 QStringLiteral("999万9999"), QStringLiteral("9999万9999")}) {
        Label9->setCaption(count);
        QCOMPARE(Label9->pos(), QPoint(112, 80));
        QVERIFY(Label9->width() >= Label9->fontMetrics().horizontalAdvance(count));
        QVERIFY2(Label9->geometry().right() + 2 < Label1->x(), qPrintable(count));
    }
    Label7->setCaption(QStringLiteral("1亿2345万6789"));
    QCOMPARE(Label7->pos(), QPoint(272, 80));
    QVERIFY(Label7->geometry().right() < findControl<QGroupBox>(*m_form, "Frame1")->width());
}

void TestForm1::pictures()
{
    QVERIFY(showComplete());
    QCOMPARE(findControl<QLabel>(*m_form, "PicCaption")->pixmap().size(), QSize(640, 48));
    QCOMPARE(findControl<QLabel>(*m_form, "PicBorder")->pixmap().size(), QSize(70, 10));
    const QList<QSize> sizes = m_form->windowIcon().availableSizes();
    QCOMPARE(sizes, (QList<QSize>{{16, 16}, {24, 24}, {32, 32}, {48, 48}}));

    // Bits per pixel, as the files hold them.
    auto bitsPerPixel = [](const QString &file, int offset) {
        QFile picture(file);
        if (!picture.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray bytes = picture.readAll();
        return int(uchar(bytes.at(offset))) | int(uchar(bytes.at(offset + 1))) << 8;
    };
    QCOMPARE(bitsPerPixel(QStringLiteral(":/pictures/caption.bmp"), 28), 24);
    QCOMPARE(bitsPerPixel(QStringLiteral(":/pictures/border.bmp"), 28), 8);
    QFile icon(QStringLiteral(PICTURES_DIR "/vistameter.ico"));
    QVERIFY(icon.open(QIODevice::ReadOnly));
    const QByteArray ico = icon.readAll();
    QCOMPARE(int(ico.at(4)), 4); // images
    for (int i = 0; i < 4; ++i) {
        const char *entry = ico.constData() + 6 + 16 * i;
        QCOMPARE(int(uchar(entry[0])), QList<int>({16, 24, 32, 48}).at(i));
        QCOMPARE(int(uchar(entry[6])), 8); // bits per pixel
    }
}

void TestForm1::scaledWindowIsTheSamePicture()
{
    QVERIFY(m_form->load());
    m_form->showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    const qreal scale = m_form->devicePixelRatioF();
    const QPixmap picture = m_form->grab();
    QCOMPARE(picture.size(), (QSizeF(449, 305) * scale).toSize());
    // Every caption fits its control at this scale too.
    for (auto *button : m_form->findChildren<QPushButton *>())
        QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) < button->width(),
                 qPrintable(button->objectName()));
    for (auto *label : m_form->findChildren<Label *>())
        QVERIFY2(label->width() >= label->fontMetrics().horizontalAdvance(label->caption()),
                 qPrintable(label->objectName()));
}

void TestForm1::loadSkinsBlanksAndFixesTheSize()
{
    const qint32 before = GetWindowLongA(m_form.get(), GWL_STYLE);
    QVERIFY(before & WS_THICKFRAME);
    // Not empty: Qt 6.4 crashes when an application style sheet is removed.
    qApp->setStyleSheet(QStringLiteral("QLabel {}"));

    QVERIFY(m_form->load());
    QCOMPARE(GetWindowLongA(m_form.get(), GWL_STYLE), before & ~WS_THICKFRAME);
    QCOMPARE(m_form->minimumSize(), QSize(449, 305));
    QCOMPARE(m_form->maximumSize(), QSize(449, 305));
    m_form->showCentred();
    QVERIFY(m_form->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(m_form->windowFlags().testFlag(Qt::WindowTitleHint));

    QFile skin(App::Path() + QStringLiteral("/skinh.she"));
    QVERIFY(skin.open(QIODevice::ReadOnly));
    QCOMPARE(qApp->styleSheet(), QString::fromUtf8(skin.readAll()));
    QCOMPARE(findControl<Label>(*m_form, "Label7")->caption(), QString());
    QCOMPARE(findControl<Label>(*m_form, "Label9")->caption(), QString());
}

void TestForm1::fixedSizeHoldsAgainstAForcedResize()
{
    QVERIFY(m_form->load());
    m_form->showCentred();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    const QRect before = m_form->geometry();
    // As a window manager does at another program's request, heedless of the fixed size.
    m_form->windowHandle()->setMaximumSize(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    m_form->windowHandle()->resize(800, 600);
    QCOMPARE(m_form->windowHandle()->size(), QSize(800, 600));
    QTRY_COMPARE(m_form->windowHandle()->size(), before.size());
    QCOMPARE(m_form->size(), QSize(449, 305));
    // Back in its place too, to the pixel that scaling rounds to.
    QVERIFY((m_form->geometry().topLeft() - before.topLeft()).manhattanLength() <= 1);
}

void TestForm1::closeAsksOnce_data()
{
    QTest::addColumn<bool>("byButton");
    QTest::addColumn<int>("answer");

    QTest::newRow("close box, No") << false << int(vbNo);
    QTest::newRow("close box, Yes") << false << int(vbYes);
    QTest::newRow("exit button, No") << true << int(vbNo);
    QTest::newRow("exit button, Yes") << true << int(vbYes);
}

void TestForm1::closeAsksOnce()
{
    QFETCH(bool, byButton);
    QFETCH(int, answer);
    QVERIFY(m_form->load());
    m_form->showCentred();
    auto *Text1 = findControl<QLineEdit>(*m_form, "Text1");
    auto *Label7 = findControl<Label>(*m_form, "Label7");
    Text1->setText(QStringLiteral("10001"));
    Label7->setCaption(QStringLiteral("1万2345"));
    m_boxes->answer({answer});

    if (byButton)
        QTest::mouseClick(findControl<QPushButton>(*m_form, "Command4"), Qt::LeftButton);
    else
        m_form->close();

    QCOMPARE(m_boxes->boxes.size(), 1);
    QCOMPARE(m_boxes->boxes.first().text, QStringLiteral("您确定退出本软件?"));
    QCOMPARE(m_boxes->boxes.first().style, int(vbYesNo + vbInformation));
    QCOMPARE(m_boxes->boxes.first().title, QStringLiteral("OmblePellin提示"));
    QCOMPARE(m_form->isVisible(), answer == vbNo);
    QCOMPARE(Text1->text(), QStringLiteral("10001"));
    QCOMPARE(Label7->caption(), QStringLiteral("1万2345"));
    QVERIFY(findControl<QPushButton>(*m_form, "Command1")->isEnabled());
}

void TestForm1::yesEndsTheProgramWithStatusZero()
{
    m_boxes->answer({vbYes});
    QTimer::singleShot(0, findControl<QPushButton>(*m_form, "Command4"), &QPushButton::click);
    QCOMPARE(run(*m_form), 0);
    QCOMPARE(m_boxes->boxes.size(), 1);
    QVERIFY(!m_form->isVisible());
}

void TestForm1::helpButtonShowsTheHelpText()
{
    QVERIFY(m_form->load());
    m_form->showCentred();
    m_boxes->answer({vbOK});
    QTest::mouseClick(findControl<QPushButton>(*m_form, "Command3"), Qt::LeftButton);
    QCOMPARE(m_boxes->boxes.size(), 1);
    const MessageBoxDriver::Box box = m_boxes->boxes.first();
    QCOMPARE(box.text, findControl<TextBox>(*m_form, "Text2")
                           ->text()
                           .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QVERIFY(box.text.endsWith(QStringLiteral("                   更新日期：2010.07.02\n")));
    QCOMPARE(box.style, int(vbInformation));
    QCOMPARE(box.title, QStringLiteral("OmblePellin提示"));
    QVERIFY(m_form->isVisible());
}

void TestForm1::webPageButtonStartsTheOpener()
{
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("opened"));
    Form1::Environment environment = testEnvironment(m_service->host());
    // A stand-in opener that notes the address it was given.
    environment.urlOpener = {QStringLiteral("sh"), QStringLiteral("-c"),
                             QStringLiteral("echo \"$1\" >> '%1'").arg(log),
                             QStringLiteral("opener")};
    m_form = std::make_unique<Form1>(environment);
    QVERIFY(m_form->load());
    m_form->showCentred();

    auto *Command2 = findControl<QPushButton>(*m_form, "Command2");
    QTest::mouseClick(Command2, Qt::LeftButton);
    QTest::mouseClick(Command2, Qt::LeftButton);
    auto opened = [&log] {
        QFile file(log);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const QByteArray page = MakerPage.toUtf8() + '\n';
    QTRY_COMPARE(opened(), page + page);
    QVERIFY(m_boxes->boxes.isEmpty());
    QVERIFY(m_form->isVisible());
}

void TestForm1::missingOpenerIsARunTimeError()
{
    Form1::Environment environment = testEnvironment(m_service->host());
    environment.urlOpener = {QStringLiteral("vistameter-no-such-opener")};
    m_form = std::make_unique<Form1>(environment);
    m_boxes->answer({vbOK});
    QTimer::singleShot(0, findControl<QPushButton>(*m_form, "Command2"), &QPushButton::click);
    QCOMPARE(run(*m_form), RuntimeErrorExitStatus);
    QCOMPARE(m_boxes->boxes.size(), 1);
    QCOMPARE(m_boxes->boxes.first().style, int(vbCritical));
    QVERIFY(m_boxes->boxes.first().text.startsWith(QStringLiteral("运行时错误 '53':")));
}

void TestForm1::missingSkinEngineEndsBeforeTheWindowShows()
{
    QTemporaryDir elsewhere;
    Form1::Environment environment = testEnvironment(m_service->host());
    environment.programDirectory = elsewhere.path();
    m_form = std::make_unique<Form1>(environment);
    m_boxes->answer({vbOK});
    QCOMPARE(run(*m_form), RuntimeErrorExitStatus);
    QCOMPARE(m_boxes->boxes.size(), 1);
    QVERIFY(m_boxes->boxes.first().text.contains(QLatin1String("SkinH_VB6")));
    QVERIFY(!m_form->testAttribute(Qt::WA_WState_ExplicitShowHide));
}

// clang-format off
void TestForm1::skinIsLegible_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("focusMark"); // measured instead of the text

    QTest::newRow("frame title") << "Frame1" << "窗口" << "" << false;
    QTest::newRow("lookup button") << "Command1" << "获取空间人气" << "" << false;
    QTest::newRow("lookup button, hovered") << "Command1" << "获取空间人气" << "hover" << false;
    QTest::newRow("lookup button, pressed") << "Command1" << "获取空间人气" << "pressed" << false;
    QTest::newRow("lookup button, busy") << "Command1" << "获取人气信息中" << "disabled" << false;
    QTest::newRow("web page button") << "Command2" << "访问Pellin博客" << "" << false;
    QTest::newRow("today's caption") << "Label2" << "今日访问人数：" << "" << false;
    QTest::newRow("total") << "Label7" << "12亿3456万7890" << "" << false;
    QTest::newRow("account") << "Text1" << "10001" << "" << false;
    QTest::newRow("maker's notice") << "" << "Tavik.Vistameter 由 OmblePellin 制作" << "" << false;
    QTest::newRow("focus, lookup button") << "Command1" << "获取空间人气" << "" << true;
    QTest::newRow("focus, lookup button, hovered") << "Command1" << "获取空间人气" << "hover" << true;
    QTest::newRow("focus, lookup button, pressed") << "Command1" << "获取空间人气" << "pressed" << true;
    QTest::newRow("focus, web page button") << "Command2" << "访问Pellin博客" << "" << true;
    QTest::newRow("focus, web page button, hovered") << "Command2" << "访问Pellin博客" << "hover" << true;
}
// clang-format on

void TestForm1::skinIsLegible()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, state);
    QFETCH(bool, focusMark);
    QVERIFY(m_form->load());
    m_form->showCentred();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QWidget *control = name.isEmpty()
                           ? findControl<QWidget>(*m_form, "StatusBar1")->findChild<QLabel *>()
                           : findControl<QWidget>(*m_form, qPrintable(name));
    // Over the control and on unless hovering: the way in tells the control that it was under
    // the pointer, wherever the pointer was before.
    QTest::mouseMove(control, QPoint(1, 1));
    QTest::mouseMove(state == QLatin1String("hover") ? control : m_form.get(), QPoint(2, 2));
    QTRY_COMPARE(control->underMouse(), state == QLatin1String("hover"));
    control->setEnabled(state != QLatin1String("disabled"));
    // As after Tab: a style draws its own focus mark only for the keyboard.
    m_form->setAttribute(Qt::WA_KeyboardFocusChange);
    if (auto *label = qobject_cast<Label *>(control))
        label->setCaption(text); // sized to the text, which then comes and goes within
    const QRect area(control->mapTo(m_form.get(), QPoint(0, 0)), control->size());
    auto render = [&](bool focused, const QString &shown) {
        if (focused)
            control->setFocus();
        else if (QWidget *focus = QApplication::focusWidget())
            focus->clearFocus();
        if (auto *button = qobject_cast<QPushButton *>(control))
            button->setDown(state == QLatin1String("pressed"));
        control->setProperty(qobject_cast<QGroupBox *>(control) ? "title" : "text", shown);
        return m_form->grab(area.adjusted(-1, -1, 1, 1)).toImage();
    };
    const QImage shown = render(focusMark, text);
    const QImage other = render(false, focusMark ? text : QString());

    double least = 21;
    if (!focusMark) {
        // The text against what lies behind it. Where it stands out most gives its colour;
        // the weakest place of that colour, over a gradient say, gives the measure.
        QList<QPair<QRgb, QRgb>> inked;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                if (shown.pixel(x, y) != other.pixel(x, y))
                    inked.append({shown.pixel(x, y), other.pixel(x, y)});
            }
        }
        auto byContrast = [](auto a, auto b) {
            return contrast(a.first, a.second) < contrast(b.first, b.second);
        };
        const QRgb ink = std::max_element(inked.cbegin(), inked.cend(), byContrast)->first;
        for (const auto &[colour, behind] : std::as_const(inked))
            least = colour == ink ? std::min(least, contrast(colour, behind)) : least;
    } else {
        // The mark is the border: against what lies outside and inside it, and against the
        // same place without the focus, at the middle of each side. Further in, focus changes
        // no more than a gradient's shade: no rectangle of the style's own.
        const int x = shown.width() / 2, y = shown.height() / 2;
        const int right = shown.width() - 2, bottom = shown.height() - 2;
        for (const auto &[edge, in] :
             {qMakePair(QPoint(x, 1), QPoint(0, 1)), qMakePair(QPoint(x, bottom), QPoint(0, -1)),
              qMakePair(QPoint(1, y), QPoint(1, 0)), qMakePair(QPoint(right, y), QPoint(-1, 0))}) {
            const QRgb mark = shown.pixel(edge);
            least = std::min({least, contrast(mark, shown.pixel(edge - in)),
                              contrast(mark, shown.pixel(edge + 2 * in)),
                              contrast(mark, other.pixel(edge))});
        }
        for (int i = 4; i < right - 2; ++i) {
            for (int j = 4; j < bottom - 2; ++j)
                QVERIFY(contrast(shown.pixel(i, j), other.pixel(i, j)) < 1.1);
        }
    }
    qInfo("%s: %.2f:1", QTest::currentDataTag(), least);
    QVERIFY(least >= (focusMark ? 3.0 : 4.5));
}

// clang-format off
void TestForm1::screenReaderHearsWhatIsSeen_data()
{
    QTest::addColumn<QString>("phase"); // of a lookup: before, during, after or failed
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("heard"); // role|name|value; empty: not announced at all

    auto node = [](QAccessible::Role role, const QString &name, const QString &value) {
        return QStringLiteral("%1|%2|%3").arg(role).arg(name, value);
    };
    const auto text = QAccessible::StaticText;
    QTest::newRow("window") << "before" << "Form1" << node(QAccessible::Window, "Tavik.Vistameter", "");
    QTest::newRow("account box") << "before" << "Text1" << node(QAccessible::EditableText, "QQ号码", "");
    QTest::newRow("today, empty") << "before" << "Label9" << node(text, "今日访问人数：暂无", "");
    QTest::newRow("maker's notice") << "before" << "" << node(text, "Tavik.Vistameter 由 OmblePellin 制作 · 版权所有", "");
    QTest::newRow("help text") << "before" << "Text2" << "";
    QTest::newRow("caption picture") << "before" << "PicCaption" << "";
    QTest::newRow("border picture") << "before" << "PicBorder" << "";
    QTest::newRow("busy button") << "during" << "Command1" << node(QAccessible::Button, "获取人气信息中", "");
    QTest::newRow("today, after") << "after" << "Label9" << node(text, "今日访问人数：150", "150");
    QTest::newRow("total, after") << "after" << "Label7" << node(text, "历史访问人数：1万2345", "1万2345");
    QTest::newRow("retry button") << "failed" << "Command1" << node(QAccessible::Button, "重新尝试获取", "");
}
// clang-format on

void TestForm1::screenReaderHearsWhatIsSeen()
{
    QFETCH(QString, phase);
    QFETCH(QString, name);
    QVERIFY(showComplete());
    QObject *control =
        name.isEmpty() ? findControl<QWidget>(*m_form, "StatusBar1")->findChild<QLabel *>()
        : name == QLatin1String("Form1") ? m_form.get()
                                         : findControl<QWidget>(*m_form, qPrintable(name));
    // What a screen reader finds of the control, walking the window's tree from the top.
    QStringList heard;
    std::function<void(QAccessibleInterface *)> walk = [&](QAccessibleInterface *node) {
        if (node->object() == control)
            heard << QStringLiteral("%1|%2|%3")
                         .arg(node->role())
                         .arg(node->text(QAccessible::Name), node->text(QAccessible::Value));
        for (int i = 0; i < node->childCount(); ++i)
            walk(node->child(i));
    };
    auto listen = [&] { walk(QAccessible::queryAccessibleInterface(m_form.get())); };

    if (phase != QLatin1String("before")) {
        m_service->answer(phase == QLatin1String("failed") ? QByteArray()
                                                           : statisticsReply("12345", "150"));
        m_boxes->answer({vbOK, vbOK});
        // While the first message is up, the button still shows its busy caption.
        m_boxes->onShown = [&](const MessageBoxDriver::Box &) {
            if (phase == QLatin1String("during") && heard.isEmpty())
                listen();
        };
        findControl<QLineEdit>(*m_form, "Text1")->setText(QStringLiteral("10001"));
        QTest::mouseClick(findControl<QPushButton>(*m_form, "Command1"), Qt::LeftButton);
    }
    if (phase != QLatin1String("during"))
        listen();
    QTEST(heard.join(u'\n'), "heard");
}

// clang-format off
void TestForm1::accountMessageKeepsToTheScreen_data()
{
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("quoted"); // as the success message quotes it

    QTest::newRow("pasted at full length")
        << QString(32767, u'7') << "\u2068" + QString(20, u'7') + "…" + QString(19, u'7') + "\u2069";
    QTest::newRow("right-to-left override") << "\u202E10001" << "\u2068\u202E10001\u2069";
    QTest::newRow("stray isolate closer") << "\u2069\u202E10001" << "\u2068\u202E10001\u2069";
}
// clang-format on

void TestForm1::accountMessageKeepsToTheScreen()
{
    QFETCH(QString, account);
    QFETCH(QString, quoted);
    m_service->answer(statisticsReply("1", "1"));
    QVERIFY(m_form->load());
    m_form->showCentred();
    findControl<QLineEdit>(*m_form, "Text1")->setText(account);
    m_boxes->answer({vbOK});
    QTest::mouseClick(findControl<QPushButton>(*m_form, "Command1"), Qt::LeftButton);

    const MessageBoxDriver::Box box = m_boxes->boxes.value(0);
    const QString suffix = QStringLiteral("】空间人气成功!");
    QCOMPARE(box.text, QStringLiteral("获取【QQ:") + quoted + suffix);
    QVERIFY(box.screen.contains(box.frame));
    QVERIFY(m_service->requestLines.value(0).contains(account.toUtf8().toPercentEncoding()));
    // Nothing in the account turns the rest of the message around: it reads left to right.
    QTextLayout layout(box.text, QApplication::font());
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e6);
    layout.endLayout();
    for (int i = int(box.text.size() - suffix.size()); i < box.text.size(); ++i)
        QVERIFY(line.cursorToX(i) < line.cursorToX(i + 1));
}

// clang-format off
void TestForm1::unseenControlsFollowTheFirstFrame_data()
{
    QTest::addColumn<QString>("first"); // what comes before the first frame
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("shown"); // the boxes, as shownBox gives them, first line only

    const QString title = QStringLiteral("OmblePellin提示");
    QTest::newRow("nothing") << "" << int(vbOK) << QStringList();
    QTest::newRow("help button") << "Command3" << int(vbOK) << QStringList{
        shownBox(vbInformation, title, QStringLiteral("本软件可用于QQ空间人气的快速查询"))};
    QTest::newRow("lookup button") << "Command1" << int(vbOK) << QStringList{
        shownBox(vbInformation, title, QStringLiteral("获取【QQ:\u206810001\u2069】空间人气成功!"))};
    QTest::newRow("close request") << "close" << int(vbNo) << QStringList{
        shownBox(vbYesNo + vbInformation, title, QStringLiteral("您确定退出本软件?"))};
}
// clang-format on

void TestForm1::unseenControlsFollowTheFirstFrame()
{
    QFETCH(QString, first);
    QFETCH(int, answer);
    QFETCH(QStringList, shown);
    m_service->answer(statisticsReply("12345", "1"));
    QVERIFY(m_form->load());
    m_form->showCentred();
    // Nothing painted yet, so nothing built that the first frame doesn't show.
    QVERIFY(!m_form->findChild<TextBox *>(QStringLiteral("Text2")));
    if (!shown.isEmpty())
        m_boxes->answer({answer});
    if (first == QLatin1String("close")) {
        m_form->close();
    } else if (!first.isEmpty()) {
        findControl<QLineEdit>(*m_form, "Text1")->setText(QStringLiteral("10001"));
        QTest::mouseClick(findControl<QPushButton>(*m_form, qPrintable(first)), Qt::LeftButton);
    }
    QStringList seen;
    for (const MessageBoxDriver::Box &box : std::as_const(m_boxes->boxes))
        seen << shownBox(box.style, box.title, box.text.section(u'\n', 0, 0));
    QCOMPARE(seen, shown);
    if (first == QLatin1String("Command1")) {
        QCOMPARE(findControl<Label>(*m_form, "Label7")->caption(), QStringLiteral("1万2345"));
        QCOMPARE(findControl<Label>(*m_form, "Label9")->caption(), QStringLiteral("1"));
    }
    QVERIFY(m_form->isVisible());

    // Once the first frame is on the screen, the rest is there as it always was: the help
    // text at the bottom of the stack, the pictures out of sight.
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QTRY_VERIFY(m_form->findChild<TextBox *>(QStringLiteral("Text2")));
    auto *Text2 = findControl<TextBox>(*m_form, "Text2");
    QCOMPARE(Text2->geometry(), QRect(352, 280, 49, 18));
    QCOMPARE(Text2->text().size(), 135);
    QVERIFY(Text2->isVisible());
    QCOMPARE(m_form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).first(), Text2);
    QCOMPARE(findControl<QLabel>(*m_form, "PicCaption")->pixmap().size(), QSize(640, 48));
    QCOMPARE(findControl<QLabel>(*m_form, "PicBorder")->pixmap().size(), QSize(70, 10));
    // A help button that came first showed the whole text all the same.
    if (first == QLatin1String("Command3"))
        QCOMPARE(m_boxes->boxes.first().text, msgBoxText(Text2->text()));
}

QTEST_MAIN(TestForm1)
#include "TestForm1.moc"
