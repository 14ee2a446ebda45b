// SPDX-License-Identifier: MIT
#include "support/Fixtures.h"
#include "support/MessageBoxDriver.h"
#include "support/StandInService.h"
#include "support/WindowUnderTest.h"

#include "runtime/App.h"
#include "runtime/FittedMessageBox.h"
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
#include <QFontInfo>
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

    void everyControlIsInViewOrOutOfSight();
    void fontsAndTransferControls();
    void startsWithTheFocusInAnEmptyAccountBox();
    void enterAndEscapeDoNothing();
    void countersWidenToTheRight();
    void pictures();
    void scaledWindowIsTheSamePicture();
    void boxIconsAreDrawnForTheScreen();
    void skinIsLegible_data();
    void skinIsLegible();
    void screenReaderHearsWhatIsSeen_data();
    void screenReaderHearsWhatIsSeen();
    void accountMessageKeepsToTheScreen_data();
    void accountMessageKeepsToTheScreen();

    void loadSkinsBlanksAndFixesTheSize();
    void fixedSizeHoldsAgainstAForcedResize();
    void centredAfterForcedResizes();
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
    std::unique_ptr<MsgBoxAnswers> m_boxes;
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
    m_boxes = std::make_unique<MsgBoxAnswers>();
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
    if (m_boxes)
        QCOMPARE(m_boxes->unanswered(), 0);
    m_boxes.reset();
    m_form.reset();
    m_service.reset();
}

void TestForm1::everyControlIsInViewOrOutOfSight()
{
    QVERIFY(showComplete());
    const QRect client = m_form->rect();
    auto inForm = [this](const QWidget *control) {
        return QRect(control->mapTo(m_form.get(), QPoint(0, 0)), control->size());
    };
    // The named control on top at point, the window's own, not Qt's parts of it.
    auto topAt = [this](QPoint point) -> QWidget * {
        for (QWidget *w = m_form->childAt(point); w; w = w->parentWidget()) {
            if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_")))
                return w;
        }
        return nullptr;
    };
    auto *bar = findControl<QWidget>(*m_form, "StatusBar1");
    QCOMPARE(inForm(bar), QRect(0, client.height() - bar->height(), client.width(), bar->height()));
    // The maker's notice on the bar is one line that it shows whole.
    auto *notice = bar->findChild<QLabel *>();
    QVERIFY(!notice->text().isEmpty() && !notice->text().contains(u'\n'));
    QVERIFY(notice->fontMetrics().horizontalAdvance(notice->text()) <=
            notice->contentsRect().width());

    // What the first frame leaves out lies under the status bar or below the client area.
    const QStringList unseen{"Text2", "PicCaption", "PicBorder"};
    QList<QWidget *> seen;
    for (QWidget *control : m_form->findChildren<QWidget *>()) {
        const QString name = control->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || control->isWindow())
            continue;
        const QRect area = inForm(control);
        if (unseen.contains(name)) {
            QVERIFY2(!client.intersects(area) ||
                         (inForm(bar).contains(area) && topAt(area.center()) == bar),
                     qPrintable(name));
            continue;
        }
        // Whole, within the client area, within its frame, clear of the status bar.
        QVERIFY2(control->isVisible(), qPrintable(name));
        QVERIFY2(client.contains(area), qPrintable(name));
        QVERIFY2(control->parentWidget()->rect().contains(control->geometry()), qPrintable(name));
        if (control != bar && !bar->isAncestorOf(control))
            QVERIFY2(!inForm(bar).intersects(area), qPrintable(name));
        seen << control;
    }
    // The thirteen that the user sees, the frames and the status bar among them: the checks ran.
    QVERIFY(seen.size() >= 13);
    // Controls that overlap lie one within the other, and the one within is on top, or what
    // lies within it.
    for (QWidget *a : std::as_const(seen)) {
        for (QWidget *b : std::as_const(seen)) {
            if (a == b || a->isAncestorOf(b) || b->isAncestorOf(a) ||
                !inForm(a).intersects(inForm(b)))
                continue;
            const QString pair = a->objectName() + QLatin1Char('/') + b->objectName();
            QVERIFY2(inForm(a).contains(inForm(b)) || inForm(b).contains(inForm(a)),
                     qPrintable(pair));
            if (inForm(a).contains(inForm(b))) {
                QWidget *top = topAt(inForm(b).center());
                QVERIFY2(top && inForm(b).contains(inForm(top)), qPrintable(pair));
            }
        }
    }
}

void TestForm1::fontsAndTransferControls()
{
    QVERIFY(m_form->load());
    // The first family each font asks for is installed here: the text is drawn in it. A
    // system may name the family drawn in the user's language (文泉驿微米黑 for WenQuanYi
    // Micro Hei, on Windows in Chinese), so it is compared with that family's own font.
    auto drawnInItsFamily = [](const QFont &font) {
        const QString first = font.families().value(0);
        return QFontDatabase::hasFamily(first) &&
               QFontInfo(font).family() == QFontInfo(QFont(first)).family();
    };
    QCOMPARE(m_form->font().pointSize(), 9);
    QVERIFY(drawnInItsFamily(m_form->font()));
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
    QVERIFY(drawnInItsFamily(Text1->font()));
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
    // A lookup would have run within the key press; anything it queued runs now.
    QCoreApplication::processEvents();
    QVERIFY(m_service->requestLines.isEmpty());
    QVERIFY(m_boxes->boxes().isEmpty());
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

    // Each picture decoded whole: no picture is one colour.
    for (const char *name : {"PicCaption", "PicBorder"}) {
        const QImage picture = findControl<QLabel>(*m_form, name)->pixmap().toImage();
        const QRgb first = picture.pixel(0, 0);
        bool varies = false;
        for (int y = 0; y < picture.height() && !varies; ++y) {
            for (int x = 0; x < picture.width() && !varies; ++x)
                varies = picture.pixel(x, y) != first;
        }
        QVERIFY2(varies, name);
    }
    for (const QSize &size : sizes)
        QVERIFY(!m_form->windowIcon().pixmap(size).toImage().isNull());
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

void TestForm1::boxIconsAreDrawnForTheScreen()
{
    // Each icon at the size it has always had, in as many pixels as the screen has for it.
    for (const auto icon :
         {QMessageBox::Information, QMessageBox::Critical, QMessageBox::Question}) {
        FittedMessageBox box;
        box.setIcon(icon);
        const QPixmap pixmap = box.iconPixmap();
        QCOMPARE(pixmap.deviceIndependentSize(), QSizeF(32, 32));
        QCOMPARE(pixmap.devicePixelRatio(), box.devicePixelRatioF());
    }
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
    // Nor does it stay maximised, as Wayland's decorations offer whatever the flags say.
    m_form->setWindowState(Qt::WindowMaximized);
    QTRY_VERIFY(!m_form->isMaximized());
    QTRY_COMPARE(m_form->windowHandle()->size(), before.size());
}

void TestForm1::centredAfterForcedResizes()
{
    QVERIFY(m_form->load());
    m_form->showCentred();
    // Resized before its first frame, which places it, and again and again.
    m_form->windowHandle()->setMaximumSize(QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    for (int width : {800, 620, 900, 700})
        m_form->windowHandle()->resize(width, 600);
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    QTRY_COMPARE(m_form->size(), QSize(449, 305));
    // Centred by its frame, give or take the rounding of an odd size and of the scale.
    QTRY_VERIFY((m_form->frameGeometry().center() - m_form->screen()->availableGeometry().center())
                    .manhattanLength() <= 4);
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

    QCOMPARE(m_boxes->boxes().size(), 1);
    QCOMPARE(m_boxes->boxes().first().text, QStringLiteral("您确定退出本软件?"));
    QCOMPARE(m_boxes->boxes().first().style, int(vbYesNo + vbInformation));
    QCOMPARE(m_boxes->boxes().first().title, QStringLiteral("OmblePellin提示"));
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
    QCOMPARE(m_boxes->boxes().size(), 1);
    QVERIFY(!m_form->isVisible());
}

void TestForm1::helpButtonShowsTheHelpText()
{
    QVERIFY(m_form->load());
    m_form->showCentred();
    // The real box: the help must fit the screen whole, nothing of it cut.
    m_boxes.reset();
    MessageBoxDriver driver;
    driver.answer({vbOK});
    QTest::mouseClick(findControl<QPushButton>(*m_form, "Command3"), Qt::LeftButton);
    QCOMPARE(driver.boxes.size(), 1);
    const MessageBoxDriver::Box box = driver.boxes.first();
    QCOMPARE(box.text, msgBoxText(findControl<TextBox>(*m_form, "Text2")->text()));
    QVERIFY(box.text.count(u'\n') >= 8 && !box.text.contains(u'\r'));
    QVERIFY(box.screen.contains(box.frame));
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
    environment.urlOpener = {noteArguments(), log};
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
    QVERIFY(m_boxes->boxes().isEmpty());
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
    QCOMPARE(m_boxes->boxes().size(), 1);
    QCOMPARE(m_boxes->boxes().first().style, int(vbCritical));
    QVERIFY(m_boxes->boxes().first().text.startsWith(QStringLiteral("运行时错误 '53':")));
}

void TestForm1::missingSkinEngineEndsBeforeTheWindowShows()
{
    QTemporaryDir elsewhere;
    Form1::Environment environment = testEnvironment(m_service->host());
    environment.programDirectory = elsewhere.path();
    m_form = std::make_unique<Form1>(environment);
    m_boxes->answer({vbOK});
    QCOMPARE(run(*m_form), RuntimeErrorExitStatus);
    QCOMPARE(m_boxes->boxes().size(), 1);
    QVERIFY(m_boxes->boxes().first().text.contains(QLatin1String("SkinH_VB6")));
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
        m_boxes->onAsked([&](const MsgBoxAnswers::Box &) {
            if (phase == QLatin1String("during") && heard.isEmpty())
                listen();
        });
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
    // The real box: where it lies is the point.
    m_boxes.reset();
    MessageBoxDriver driver;
    driver.answer({vbOK});
    QTest::mouseClick(findControl<QPushButton>(*m_form, "Command1"), Qt::LeftButton);

    const MessageBoxDriver::Box box = driver.boxes.value(0);
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
    for (const MsgBoxAnswers::Box &box : m_boxes->boxes())
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
    auto *bar = findControl<QWidget>(*m_form, "StatusBar1");
    QVERIFY(bar->geometry().contains(Text2->geometry()));
    QVERIFY(!Text2->text().isEmpty());
    QVERIFY(Text2->isVisible());
    QCOMPARE(m_form->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).first(), Text2);
    QCOMPARE(findControl<QLabel>(*m_form, "PicCaption")->pixmap().size(), QSize(640, 48));
    QCOMPARE(findControl<QLabel>(*m_form, "PicBorder")->pixmap().size(), QSize(70, 10));
    // A help button that came first showed the whole text all the same.
    if (first == QLatin1String("Command3"))
        QCOMPARE(m_boxes->boxes().first().text, msgBoxText(Text2->text()));
}

QTEST_MAIN(TestForm1)
#include "TestForm1.moc"
