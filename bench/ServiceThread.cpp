// SPDX-License-Identifier: MIT
#include "ServiceThread.h"

#include "DemoService.h"

ServiceThread::ServiceThread(QObject *parent) : QObject(parent), m_context(new QObject)
{
    m_context->moveToThread(&m_thread);
    m_thread.start();
    QMetaObject::invokeMethod(
        m_context,
        [this] {
            m_service = new DemoService;
            if (m_service->listen(0))
                m_host = QStringLiteral("127.0.0.1:%1").arg(m_service->port());
        },
        Qt::BlockingQueuedConnection);
}

ServiceThread::~ServiceThread()
{
    QMetaObject::invokeMethod(
        m_context, [this] { delete m_service; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    // Its thread has stopped, so nothing can be delivered to it any more.
    delete m_context;
}
