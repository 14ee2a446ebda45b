// SPDX-License-Identifier: MIT
#include "BenchWindow.h"

#include <QEventLoop>
#include <QTimer>

std::unique_ptr<Form1> showWindow(const QString &host)
{
    Form1::Environment environment = Form1::programEnvironment();
    environment.serviceHost = host;
    Form1::setUpApplication();
    auto form = std::make_unique<Form1>(environment);
    if (!form->load())
        return nullptr;
    form->showCentred();
    // The event loop runs a while, so that the work put off until after the first frame is
    // done and the window has painted before anything is measured.
    QEventLoop loop;
    QTimer::singleShot(200, &loop, &QEventLoop::quit);
    loop.exec();
    return form;
}
