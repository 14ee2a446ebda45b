// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractButton>
#include <QPointer>
#include <QWidget>

#include <functional>

class QSessionManager;

namespace Runtime {

// A window with the life of a form: a load event before it is first shown, a close request
// that the form may refuse, and event handlers that run one at a time. A run-time error that
// escapes a handler is shown, and the program ends. What the first frame doesn't show is built
// right after it: the form's handlers always find it built.
class Form : public QWidget
{
    Q_OBJECT

public:
    // Why a close request came.
    enum UnloadMode : qint16 {
        vbFormControlMenu = 0, // the close box, the window menu, the keyboard
        vbFormCode = 1,        // Unload() from the program's code
        vbAppWindows = 2,      // the user's session is ending
    };

    explicit Form(QWidget *parent = nullptr);

    // Raises the load event. False when it ended in a run-time error, which has been shown.
    bool load();

    // Shows the window, centred on its screen the first time: its frame, once the window
    // manager has put one around it, where the platform lets a program place its windows.
    void showCentred();

    // Asks the window to unload: raises the close request unless that is what runs now, and
    // closes the window unless the request is refused.
    void Unload();

    // The window that the style calls work on.
    QWidget *hWnd() { return this; }

protected:
    virtual void Form_Load() {}
    // Builds what the first frame doesn't show. Runs once: right after the first frame, or
    // before a click or close request that comes first.
    virtual void Form_Complete() {}
    // Set Cancel to a value other than 0 to refuse the close.
    virtual void Form_QueryUnload(qint16 &Cancel, qint16 UnloadMode);

    // Runs handler on receiver as this form's event whenever button is clicked.
    template <class Receiver>
    void onClick(QAbstractButton *button, Receiver *receiver, void (Receiver::*handler)())
    {
        connect(button, &QAbstractButton::clicked, this, [=] {
            runHandler([=] {
                complete();
                (receiver->*handler)();
            });
        });
    }

    void closeEvent(QCloseEvent *event) override;
    // A control that a handler disables while it has the focus keeps it, as far as anyone
    // hears: no other control takes it, and it comes back once the control is enabled again.
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Has Form_Complete run once the first frame is done, centres the window's frame, and
    // keeps a held focus from going to the next control when the window is activated again.
    bool event(QEvent *event) override;
    // Give a window of fixed size its place and size back when something else resized it.
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Never maximised at its fixed size (see unmaximiseFixedSize).
    void changeEvent(QEvent *event) override;

private:
    // Runs handler as an event; false when it ended in a run-time error.
    bool runHandler(const std::function<void()> &handler);
    // Runs Form_Complete unless it has run.
    void complete();
    // Raises the close request; true when nobody refused it.
    bool queryUnload(qint16 mode);
    // The window's size for placing it: its fixed size, when it has one.
    QSize placedSize() const;
    // Moves the window so that its frame, at the window's placed size, is centred on the
    // screen, once the frame is known.
    void centreTheFrame();
    // Answers the end of the user's session as a close request, which may cancel it.
    void sessionEnding(QSessionManager &manager);

    int m_handlersRunning = 0;
    bool m_closeHeld = false;
    bool m_queryingUnload = false;
    bool m_unloadingByCode = false;
    bool m_unloadConfirmed = false;
    bool m_shown = false;
    bool m_frameCentred = false;     // once the frame was known, and never again
    QRect m_fixedGeometry;           // the window's last place at its fixed size
    int m_sizeRestores = 0;          // in a row, each undone again by whatever resized the window
    bool m_completionQueued = false; // Form_Complete waits for the event loop
    bool m_complete = false;         // Form_Complete has run
    QPointer<QWidget> m_focusHeld;   // disabled by a handler while it had the focus
};

// Loads form, shows it and runs the event loop until the program ends. Returns the status
// the program ends with.
int run(Form &form);

} // namespace Runtime
