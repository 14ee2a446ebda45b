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
// Above the box a window manager puts a title bar, around it a border.
constexpr int FrameExtras = 48;

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
    // Title bars often set their text in bold.
    QFont titleFont = font();
    titleFont.setBold(true);
    const int width = QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + TitleBarExtras;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

void MessageBox::fitTheScreen()
{
    const int room = screen()->availableGeometry().height() - FrameExtras;
    // A box being shown sizes itself to its text whenever the text is set.
    setText(text());
    while (height() > room && text().size() > 1) {
        const auto kept = qsizetype(double(text().size()) * room / height() * 0.9);
        setText(ElideMiddle(text(), std::max<qsizetype>(kept, 1)));
    }
}

} // namespace Runtime
