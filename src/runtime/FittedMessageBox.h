// SPDX-License-Identifier: MIT
#pragma once

#include <QMessageBox>

class QLabel;

namespace Runtime {

// The dialog that MsgBox shows: a QMessageBox fitted to the screen and to what a window manager
// needs. Its title bar has no minimise or maximise buttons and is wide enough for the whole
// title, it is never maximised (see unmaximiseFixedSize), and it is never larger than the
// screen's free area: a text too long for it is shortened in its middle, measured once however
// long it is.
class FittedMessageBox : public QMessageBox
{
    Q_OBJECT

public:
    explicit FittedMessageBox(QWidget *parent = nullptr);

    // Shown, the box first cuts a text far longer than any screen shows.
    void setVisible(bool visible) override;

protected:
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void makeRoomForTheTitle();
    // Shortens a text far longer than any screen shows, without measuring it.
    void cutToAScreenful();
    // Shortens a text too long for the screen's free area, measuring it once.
    void fitTheScreen();
    // The label in which the box shows its text; null when it can't be told.
    QLabel *textLabel() const;
};

} // namespace Runtime
