// SPDX-License-Identifier: MIT
#pragma once

#include <QMessageBox>

namespace Runtime {

// A message box that keeps to the screen and to what a window manager needs: a title bar
// without minimise or maximise buttons, wide enough for the whole title, and never taller than
// the screen's free area: a text too long for it is shortened in its middle.
class MessageBox : public QMessageBox
{
    Q_OBJECT

public:
    explicit MessageBox(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void makeRoomForTheTitle();
    void fitTheScreen();
};

} // namespace Runtime
