// SPDX-License-Identifier: MIT
#include "Form.h"

#include "RuntimeError.h"
#include "User32.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QStyle>

#if QT_CONFIG(sessionmanager)
#include <QSessionManager>
#endif

#include <exception>
#include <optional>
#include <utility>

namespace Runtime {

Form::Form(QWidget *parent) : QWidget(parent)
{
#if QT_CONFIG(sessionmanager)
    connect(qApp, &QGuiApplication::commitDataRequest, this, &Form::sessionEnding);
#endif
}

bool Form::load()
{
    return runHandler([this] { Form_Load(); });
}

void Form::showCentred()
{
    // The frame is the window manager's, and known only once it has framed the window: the
    // client area is centred first, and the frame as soon as it is known.
    if (!std::exchange(m_shown, true)) {
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, placedSize(),
                                        screen()->availableGeometry()));
    }
    show();
}

QSize Form::placedSize() const
{
    return minimumSize() == maximumSize() ? minimumSize() : size();
}

void Form::centreTheFrame()
{
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    if (frame == client)
        return;
    m_frameCentred = true;
    // At the size the window goes back to, whatever size was forced on it at this moment. A
    // platform that places windows itself, as Wayland's do, leaves the window where it is.
    const QPoint frameTopLeft = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter,
                                                    placedSize() + frame.size() - client.size(),
                                                    screen()->availableGeometry())
                                    .topLeft();
    m_fixedGeometry = QRect(frameTopLeft + client.topLeft() - frame.topLeft(), placedSize());
    move(frameTopLeft);
}

void Form::Unload()
{
    // The close request itself unloads on Yes: asking again would ask twice.
    if (m_queryingUnload)
        return;
    m_unloadingByCode = true;
    close();
    m_unloadingByCode = false;
}

void Form::Form_QueryUnload(qint16 &, qint16) {}

void Form::closeEvent(QCloseEvent *event)
{
    if (m_unloadConfirmed) {
        event->accept();
        return;
    }
    // A request from outside while a handler waits (for the network, say) would tear the
    // window down under it: it is answered once the handler has finished.
    if (m_handlersRunning > 0 && !m_unloadingByCode) {
        m_closeHeld = true;
        event->ignore();
        return;
    }
    event->setAccepted(queryUnload(m_unloadingByCode ? vbFormCode : vbFormControlMenu));
}

bool Form::focusNextPrevChild(bool next)
{
    // Qt moves the focus on from a control as it is disabled, and a screen reader announces
    // where it lands before anything the handler shows. Within a handler the focus is let go
    // instead, and given back when the control is enabled again.
    QWidget *const focused = focusWidget();
    if (m_handlersRunning > 0 && focused && !focused->isEnabled()) {
        if (m_focusHeld)
            m_focusHeld->removeEventFilter(this);
        m_focusHeld = focused;
        focused->installEventFilter(this);
        return false;
    }
    return QWidget::focusNextPrevChild(next);
}

bool Form::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_focusHeld && event->type() == QEvent::EnabledChange &&
        m_focusHeld->isEnabled()) {
        m_focusHeld->removeEventFilter(this);
        // Unless the focus went elsewhere in the window meanwhile.
        if (!focusWidget() || focusWidget() == this)
            m_focusHeld->setFocus(Qt::OtherFocusReason);
        m_focusHeld.clear();
    }
    return QWidget::eventFilter(watched, event);
}

bool Form::event(QEvent *event)
{
    // Activated again while the focus is held (a box over it has closed), the window takes the
    // focus itself, before Qt would hand it to the next control.
    if (event->type() == QEvent::WindowActivate && m_focusHeld && !focusWidget())
        setFocus(Qt::ActiveWindowFocusReason);
    // The window is painted before its controls: once the frame is done, the event loop
    // gets its turn again.
    if (event->type() == QEvent::Paint && !std::exchange(m_completionQueued, true))
        QMetaObject::invokeMethod(
            this, [this] { runHandler([this] { complete(); }); }, Qt::QueuedConnection);
    // The window manager frames the window as it maps it, before the first frame is painted.
    if (event->type() == QEvent::Paint && m_shown && !m_frameCentred)
        centreTheFrame();
    return QWidget::event(event);
}

void Form::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    if (size() == minimumSize() && minimumSize() == maximumSize())
        m_fixedGeometry = geometry();
}

void Form::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    // A window manager may give way to another program's request despite the fixed size, and
    // the controls that lie out of sight would come into view: the window goes back to where
    // it was, at its size. Whatever resized it again after three restores in a row is let be,
    // rather than fought over for ever.
    const QSize fixedSize = minimumSize();
    if (fixedSize != maximumSize() || !isVisible())
        return;
    if (size() == fixedSize) {
        m_fixedGeometry = geometry();
        m_sizeRestores = 0;
    } else if (m_sizeRestores < 3) {
        ++m_sizeRestores;
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (minimumSize() == maximumSize() && size() != minimumSize())
                    setGeometry(m_fixedGeometry.isValid()
                                    ? m_fixedGeometry
                                    : QRect(geometry().topLeft(), minimumSize()));
            },
            Qt::QueuedConnection);
    }
}

void Form::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    unmaximiseFixedSize(this, event);
}

void Form::complete()
{
    if (!std::exchange(m_complete, true))
        Form_Complete();
}

bool Form::runHandler(const std::function<void()> &handler)
{
    ++m_handlersRunning;
    std::optional<RuntimeError> error;
    try {
        handler();
    } catch (const RuntimeError &e) {
        error = e;
    } catch (const std::exception &e) {
        error = RuntimeError(51, QString::fromLocal8Bit(e.what()));
    } catch (...) {
        error = RuntimeError(51, QStringLiteral("内部错误"));
    }
    --m_handlersRunning;

    if (error) {
        showRuntimeError(isVisible() ? this : nullptr, *error);
        QCoreApplication::exit(RuntimeErrorExitStatus);
        return false;
    }
    if (m_handlersRunning == 0 && std::exchange(m_closeHeld, false))
        QMetaObject::invokeMethod(
            this, [this] { close(); }, Qt::QueuedConnection);
    return true;
}

bool Form::queryUnload(qint16 mode)
{
    qint16 cancel = 0;
    m_queryingUnload = true;
    const bool finished = runHandler([&] {
        complete();
        Form_QueryUnload(cancel, mode);
    });
    m_queryingUnload = false;
    return finished && cancel == 0;
}

void Form::sessionEnding(QSessionManager &manager)
{
#if QT_CONFIG(sessionmanager)
    if (!isVisible() || !manager.allowsInteraction())
        return;
    // As with any close request, none is answered in the middle of a handler: the session
    // goes on, and the question comes once the handler has finished.
    if (m_handlersRunning > 0) {
        m_closeHeld = true;
        manager.release();
        manager.cancel();
        return;
    }
    const bool unload = queryUnload(vbAppWindows);
    manager.release();
    if (!unload) {
        manager.cancel();
        return;
    }
    m_unloadConfirmed = true;
    close();
#else
    Q_UNUSED(manager)
#endif
}

int run(Form &form)
{
    if (!form.load())
        return RuntimeErrorExitStatus;
    form.showCentred();
    return QApplication::exec();
}

} // namespace Runtime
