// SPDX-License-Identifier: MIT
#include "MessageBox.h"

#include "text/MessageText.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QScreen>
#include <QSpacerItem>

namespace Runtime {

namespace {

// Beside its title a window manager puts an icon, a close button and margins.
constexpr int TitleBarExtras = 96;
// Around the box a window manager puts a border, and a title bar above it.
constexpr QSize FrameExtras(16, 48);

} // namespace

MessageBox::MessageBox(QWidget *parent) : QMessageBox(parent)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
}

void MessageBox::showEvent(QShowEvent *event)
{
    makeRoomForTheTitle();
    fitTheScreen();
    // Sizes the box once more, with the text as it now is, and places it.
    QMessageBox::showEvent(event);
}

void MessageBox::makeRoomForTheTitle()
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

void MessageBox::fitTheScreen()
{
    const QSize room = screen()->availableGeometry().size() - FrameExtras;
    const QString whole = text();
    // A box being shown sizes itself to its text whenever the text is set.
    auto fits = [&](qsizetype length) {
        setText(ElideMiddle(whole, length));
        return width() <= room.width() && height() <= room.height();
    };
    if (fits(whole.size()))
        return;
    // The longest text that fits, sought by halving: a long run without a place to break the
    // line widens the box as much as lines of text lengthen it.
    qsizetype fitting = 1;
    qsizetype tooLong = whole.size();
    while (tooLong - fitting > 1) {
        const qsizetype length = fitting + (tooLong - fitting) / 2;
        (fits(length) ? fitting : tooLong) = length;
    }
    fits(fitting);
}

} // namespace Runtime
