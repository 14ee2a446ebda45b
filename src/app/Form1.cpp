// SPDX-License-Identifier: MIT
#include "Form1.h"

#include "runtime/Accessibility.h"
#include "runtime/App.h"
#include "runtime/MsgBox.h"
#include "runtime/ProgramStyle.h"
#include "runtime/Shell.h"
#include "runtime/User32.h"
#include "text/MessageText.h"

#include "config.h"

#include <QApplication>
#include <QFontDatabase>
#include <QIcon>
#include <QImageReader>

#include <algorithm>
#include <iterator>

using namespace Runtime;

const QString ServiceHost = QStringLiteral(VISTAMETER_SERVICE_HOST);
const QString MakerPage = QStringLiteral(VISTAMETER_MAKER_PAGE);

namespace {

const QString IdleCaption = QStringLiteral("获取空间人气");
const QString BusyCaption = QStringLiteral("获取人气信息中");
const QString RetryCaption = QStringLiteral("重新尝试获取");

// Every line ends in CR LF, the last one too.
const QString HelpText = QStringLiteral("本软件可用于QQ空间人气的快速查询\r\n"
                                        "您可不必进入空间就可轻松查看人气\r\n"
                                        "此版本为旧版的美化版,修正相关BUG\r\n"
                                        "\r\n"
                                        "不喜欢或是其他的朋友可以不要使用\r\n"
                                        "没人逼你使用或是让你来这胡言乱语\r\n"
                                        "\r\n"
                                        "\r\n"
                                        "                   更新日期：2010.07.02\r\n");

template <class Widget>
void place(Widget *widget, const char *name, int left, int top, int width, int height)
{
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(left, top, width, height);
}

void placeLabel(Label *label, const char *name, int left, int top, const QString &caption)
{
    label->setObjectName(QLatin1String(name));
    label->move(left, top);
    label->setCaption(caption);
}

// Those of families that are installed here, in their order; all of them when none is. Each
// family asked for that isn't installed costs a search for a stand-in, for every script
// shown, and the stand-in found is the next family in the list that is.
// The families are looked for by the names the system lists first. Only when none is listed
// so is each looked for by its other names too, as Chinese Windows lists Microsoft YaHei as
// 微软雅黑: hasFamily knows them, but costs a search of the font configuration for every
// family that isn't installed, which on Linux would make the first frame a tenth dearer.
QStringList installedFamilies(const QStringList &families)
{
    const QStringList listed = QFontDatabase::families();
    QStringList found;
    std::copy_if(
        families.cbegin(), families.cend(), std::back_inserter(found),
        [&](const QString &family) { return listed.contains(family, Qt::CaseInsensitive); });
    if (found.isEmpty()) {
        std::copy_if(families.cbegin(), families.cend(), std::back_inserter(found),
                     [](const QString &family) { return QFontDatabase::hasFamily(family); });
    }
    return found.isEmpty() ? families : found;
}

// The program's font, which the window, its controls and its message boxes take: one typeface
// for digits and Chinese alike whose Chinese characters are 12 px wide at 96 dpi. The families
// of a Windows, then of a Debian desktop, then the platform's own.
QFont programFont()
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setFamilies(
        installedFamilies({QStringLiteral("Microsoft YaHei"), QStringLiteral("Noto Sans CJK SC"),
                           QStringLiteral("WenQuanYi Micro Hei")})
        << font.family());
    font.setPointSize(9);
    return font;
}

// A picture of the program's own, in the format named: no image plugin is loaded to tell.
QPixmap picture(const QString &name, const char *format)
{
    QImageReader reader(name, format);
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}

QIcon programIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48})
        icon.addPixmap(picture(QStringLiteral(":/pictures/vistameter-%1.png").arg(size), "png"));
    return icon;
}

} // namespace

Form1::Environment Form1::programEnvironment()
{
    Environment environment;
    environment.programDirectory = App::Path();
    environment.urlOpener = urlOpener();
    return environment;
}

void Form1::setUpApplication()
{
    installAccessibility();
    QApplication::setStyle(new ProgramStyle);
    QApplication::setFont(programFont());
}

Form1::Form1(const Environment &environment, QWidget *parent)
    : Form(parent), m_environment(environment)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tavik.Vistameter"));
    setWindowIcon(programIcon());
    // Title, window menu, minimise and close; a window of fixed size has nothing to maximise.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    resize(449, 305);

    place(Frame2, "Frame2", 16, 16, 417, 233);
    place(Frame3, "Frame3", 24, 144, 369, 65);
    place(Command2, "Command2", 128, 16, 113, 33);
    Command2->setText(QStringLiteral("访问Pellin博客"));
    place(Command3, "Command3", 16, 16, 89, 33);
    Command3->setText(QStringLiteral("软件说明"));
    place(Command4, "Command4", 264, 16, 89, 33);
    Command4->setText(QStringLiteral("退出软件"));

    place(Frame1, "Frame1", 40, 40, 369, 105);
    Frame1->setTitle(QStringLiteral("窗口"));
    placeLabel(Label9, "Label9", 112, 80, QString());
    placeLabel(Label2, "Label2", 24, 80, QStringLiteral("今日访问人数："));
    placeLabel(Label7, "Label7", 272, 80, QString());
    placeLabel(Label1, "Label1", 184, 80, QStringLiteral("历史访问人数："));
    // A screen reader hears each counter with its caption, and an empty one as having none.
    Label9->setAccessibleName(QStringLiteral("今日访问人数"));
    Label2->setBuddy(Label9);
    Label7->setAccessibleName(QStringLiteral("历史访问人数"));
    Label1->setBuddy(Label7);
    place(Command1, "Command1", 240, 32, 105, 25);
    Command1->setText(IdleCaption);

    place(Text1, "Text1", 64, 72, 201, 25);
    QFont accountFont(installedFamilies(
        {QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("NSimSun"),
         QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")}));
    accountFont.setPointSize(9);
    accountFont.setBold(true);
    Text1->setFont(accountFont);
    Text1->setAccessibleName(QStringLiteral("QQ号码"));
    Text1->setAccessibleDescription(QStringLiteral("要查询空间人气的QQ号码"));

    setUpTransferControls();
    // Below the client area, where no one sees them: their pictures come after the first
    // frame. PicBorder goes unannounced with the picture it lies in.
    place(PicCaption, "PicCaption", 160, 416, 640, 48);
    place(PicBorder, "PicBorder", 56, 0, 70, 10);
    hideFromScreenReaders(PicCaption);

    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->addPanel(QStringLiteral("Tavik.Vistameter 由 OmblePellin 制作 · 版权所有"), 429,
                         96);

    setTabOrder(Text1, Command1);
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, Command3);
    setTabOrder(Command3, Command4);
    Text1->setFocus();

    onClick(Command1, this, &Form1::Command1_Click);
    onClick(Command2, this, &Form1::Command2_Click);
    onClick(Command3, this, &Form1::Command3_Click);
    onClick(Command4, this, &Form1::Command4_Click);
}

void Form1::setUpTransferControls()
{
    // The deadline of a transfer is the lookup's, which In2 is given with each one.
    for (Inet *inet : {In1, In2, In3}) {
        inet->setRemotePort(80);
        inet->setLibraryDirectory(m_environment.programDirectory);
    }
    In1->setObjectName(QStringLiteral("In1"));
    In2->setObjectName(QStringLiteral("In2"));
    In3->setObjectName(QStringLiteral("In3"));
}

void Form1::setUpHelpText()
{
    Text2 = new TextBox(this);
    // The first control of the window, at the bottom of the stack.
    Text2->lower();
    place(Text2, "Text2", 352, 280, 49, 18);
    Text2->setText(HelpText);
    // Out of sight behind the status bar: taking the focus there would hide the cursor in
    // text that the help button shows, and a screen reader would read out what no one sees.
    Text2->setFocusPolicy(Qt::NoFocus);
    hideFromScreenReaders(Text2);
    // Made after the window was shown, it shows only when told to.
    Text2->show();
}

void Form1::setUpPictures()
{
    PicCaption->setPixmap(picture(QStringLiteral(":/pictures/caption.bmp"), "bmp"));
    PicBorder->setPixmap(picture(QStringLiteral(":/pictures/border.bmp"), "bmp"));
}

void Form1::Form_Load()
{
    m_skinH.SkinH_AttachEx(m_environment.programDirectory + QStringLiteral("/skinh.she"),
                           QString());
    SetWindowLongA(hWnd(), GWL_STYLE, GetWindowLongA(hWnd(), GWL_STYLE) & ~WS_THICKFRAME);
    Label7->setCaption(QString());
    Label9->setCaption(QString());
}

void Form1::Form_Complete()
{
    setUpHelpText();
    setUpPictures();
}

void Form1::Command1_Click()
{
    // The focus stays with the button as it is disabled (Form::focusNextPrevChild), so that
    // Space looks up again afterwards rather than opening the web page.
    Command1->setEnabled(false);
    Command1->setText(BusyCaption);
    QueryPopularity();
}

void Form1::QueryPopularity()
{
    const LookupOutcome outcome = m_lookup.lookUp(Text1->text());
    // Counts are shown before the box that tells of them; after a failure the old ones stay
    // until its box is closed.
    const bool found = outcome.counts.has_value();
    if (found)
        showCounters(outcome);
    MsgBox(this, outcome.result.text, found ? vbInformation : vbCritical, outcome.result.title);
    Command1->setEnabled(true);
    Command1->setText(found ? IdleCaption : RetryCaption);
    if (!found)
        showCounters(outcome);
    if (outcome.comment)
        MsgBox(this, outcome.comment->text, vbInformation, outcome.comment->title);
}

void Form1::showCounters(const LookupOutcome &outcome)
{
    Label9->setCaption(outcome.today);
    Label7->setCaption(outcome.total);
}

void Form1::Command2_Click()
{
    Shell(m_environment.urlOpener + QStringList{MakerPage}, vbMinimizedFocus);
}

void Form1::Command3_Click()
{
    MsgBox(this, Text2->text(), vbInformation, MessageTitle);
}

void Form1::Command4_Click()
{
    Unload();
}

void Form1::Form_QueryUnload(qint16 &Cancel, qint16)
{
    // Leaving Cancel at 0 lets the close go ahead, and the program ends with it.
    if (MsgBox(this, QStringLiteral("您确定退出本软件?"), vbYesNo + vbInformation, MessageTitle) !=
        vbYes)
        Cancel = 1;
}
