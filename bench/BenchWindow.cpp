// SPDX-License-Identifier: MIT
#include "BenchWindow.h"

#include <QEventLoop>
#include <QTimer>

void Settle(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

std::unique_ptr<Form1> ShowWindow(const QString &host)
{
    Form1::Environment environment = Form1::programEnvironment();
    environment.serviceHost = host;
    Form1::setUpApplication();
    auto form = std::make_unique<Form1>(environment);
    if (!form->load())
        return nullptr;
    form->showCentred();
    Settle(200);
    return form;
}
