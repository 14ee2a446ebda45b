// SPDX-License-Identifier: MIT
#include "FittedMessageBox.h"

#include "User32.h"

#include "text/MessageText.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QScreen>
#include <QSpacerItem>
#include <QTextBoundaryFinder>
#include <QTextLayout>

#include <algorithm>

namespace Runtime {

namespace {

// Beside its title a window manager puts an icon, a close button and margins.
constexpr int TitleBarExtras = 96;
// Around the box a window manager puts a border, and a title bar above it.
constexpr QSize FrameExtras(16, 48);
// A message box wraps its text only once it would grow wider than half the screen, and never
// below 420 pixels: lines no wider than that are shown as they are laid out here.
constexpr int UnwrappedWidth = 420;

// A text as it falls on lines of a given width.
struct LaidOut
{
    QStringList lines;
    qreal lineHeight = 1; // the tallest line's
    qreal widestWord = 0; // of the words too wide for a line
};

// text on lines of at most width pixels in font, broken where a message box breaks a line, or
// anywhere in a word too wide for a line.
LaidOut layOut(const QString &text, const QFont &font, int width)
{
    QString oneParagraph = text;
    oneParagraph.replace(u'\n', QChar::LineSeparator);
    QTextLayout layout(oneParagraph, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    const QFontMetricsF metrics(font);

    LaidOut laidOut;
    qsizetype measuredWord = -1; // where the last word measured starts
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        // A label sets its lines apart by the font's leading as well, which fonts on Windows
        // often have.
        line.setLeadingIncluded(true);
        laidOut.lineHeight = std::max(laidOut.lineHeight, line.height());
        breaks.setPosition(line.textStart() + line.textLength());
        // A word broken over several lines is measured once.
        if (!breaks.isAtBoundary() && breaks.toPreviousBoundary() != measuredWord) {
            measuredWord = breaks.position();
            const qsizetype end = breaks.toNextBoundary();
            laidOut.widestWord =
                std::max(laidOut.widestWord,
                         metrics.horizontalAdvance(text.mid(measuredWord, end - measuredWord)));
        }
        QString shown = text.mid(line.textStart(), line.textLength());
        if (shown.endsWith(u'\n'))
            shown.chop(1);
        laidOut.lines << shown;
    }
    layout.endLayout();
    return laidOut;
}

} // namespace

FittedMessageBox::FittedMessageBox(QWidget *parent) : QMessageBox(parent)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

void FittedMessageBox::setVisible(bool visible)
{
    // Before the box first sizes itself to its text.
    if (visible && !isVisible())
        cutToAScreenful();
    QMessageBox::setVisible(visible);
}

void FittedMessageBox::showEvent(QShowEvent *event)
{
    makeRoomForTheTitle();
    fitTheScreen();
    // Sizes the box to its text as it now is, and places it.
    QMessageBox::showEvent(event);
}

void FittedMessageBox::changeEvent(QEvent *event)
{
    QMessageBox::changeEvent(event);
    unmaximiseFixedSize(this, event);
}

void FittedMessageBox::makeRoomForTheTitle()
{
    auto *grid = qobject_cast<QGridLayout *>(layout());
    if (!grid)
        return;
    // Title bars set their text in bold, often half as large again as a box's text.
    QFont titleFont = font();
    titleFont.setBold(true);
    const int width =
        QFontMetrics(titleFont).horizontalAdvance(windowTitle()) * 3 / 2 + TitleBarExtras;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

void FittedMessageBox::cutToAScreenful()
{
    // No screen shows more characters than it holds full stops, which are among the narrowest.
    const QSize room = screen()->availableGeometry().size();
    const QFontMetrics metrics(font());
    const qsizetype screenful =
        qsizetype(room.width() / std::max(metrics.horizontalAdvance(u'.'), 1) + 1) *
        (room.height() / std::max(metrics.lineSpacing(), 1) + 1);
    if (text().size() > screenful)
        setText(elideMiddle(text(), screenful));
}

QLabel *FittedMessageBox::textLabel() const
{
    // The box shows its text in a label of its own, the only one that holds it: the icon's
    // label holds a picture and no text.
    const QList<QLabel *> labels = findChildren<QLabel *>();
    const auto found = std::find_if(labels.cbegin(), labels.cend(), [this](const QLabel *label) {
        return label->text() == text();
    });
    return found == labels.cend() ? nullptr : *found;
}

void FittedMessageBox::fitTheScreen()
{
    if (text().isEmpty() || !layout())
        return;
    QLabel *const label = textLabel();
    if (!label)
        return;
    // What lies beside the text, as the box is laid out now: the icon, the buttons, the margins.
    layout()->activate();
    const QSize besideTheText = size() - label->contentsRect().size();

    // The text on lines narrow enough that the box won't wrap them again. When they are too
    // many for the screen's height, or a word is too wide for its width, the box shows these
    // lines, as many as fit, the first and the last with "…" between them.
    const QRect screenArea = screen()->availableGeometry();
    const QSize room = screenArea.size() - FrameExtras;
    const int indent = std::max(label->indent(), 0);
    const int lineWidth = std::min({room.width(), screenArea.width() / 2, UnwrappedWidth}) -
                          besideTheText.width() - indent;
    const LaidOut laidOut =
        layOut(text(), label->font(), std::max(lineWidth, label->fontMetrics().averageCharWidth()));
    const auto fitting = std::max<qsizetype>(
        qsizetype((room.height() - besideTheText.height()) / laidOut.lineHeight), 1);
    if (laidOut.lines.size() <= fitting &&
        laidOut.widestWord <= room.width() - besideTheText.width() - indent)
        return;
    QStringList lines = laidOut.lines;
    if (lines.size() > fitting) {
        const qsizetype head = fitting / 2;
        const qsizetype tail = fitting - head - 1;
        lines.remove(head, lines.size() - head - tail);
        lines.insert(head, QStringLiteral("…"));
    }
    setText(lines.join(u'\n'));
}

} // namespace Runtime
