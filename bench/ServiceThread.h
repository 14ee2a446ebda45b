// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QThread>

class DemoService;

// The demo service on a thread of its own, so that it answers while the thread measured waits
// in the lookup's event loop, as a real server would.
class ServiceThread : public QObject
{
    Q_OBJECT

public:
    explicit ServiceThread(QObject *parent = nullptr);
    ~ServiceThread() override;

    // "127.0.0.1:port", where the service host goes; empty when the service couldn't listen.
    QString host() const { return m_host; }

private:
    QThread m_thread;
    // Lives on m_thread, and so does everything created through it.
    QObject *m_context = nullptr;
    DemoService *m_service = nullptr;
    QString m_host;
};
