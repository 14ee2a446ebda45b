// SPDX-License-Identifier: MIT
#pragma once

#include "app/Form1.h"

#include <QApplication>
#include <QTest>

// The stand-in for the programs the window starts, beside the test: given a file and
// arguments, it appends the arguments to the file, a line each; given "-", it notes nothing.
inline QString noteArguments()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/" NOTE_ARGUMENTS_FILE);
}

// The program's own environment, with the service and the web page opener replaced and a
// deadline short enough for a test to wait out.
inline Form1::Environment
testEnvironment(const QString &serviceHost,
                std::chrono::milliseconds deadline = std::chrono::seconds(1))
{
    Form1::Environment environment = Form1::programEnvironment();
    environment.serviceHost = serviceHost;
    environment.requestTimeout = deadline;
    environment.urlOpener = {noteArguments(), QStringLiteral("-")};
    return environment;
}

// The control of form named name; the test ends when there is none.
template <class Widget> Widget *findControl(QWidget &form, const char *name)
{
    auto *widget = form.findChild<Widget *>(QLatin1String(name));
    if (!widget)
        qFatal("no control %s", name);
    return widget;
}
