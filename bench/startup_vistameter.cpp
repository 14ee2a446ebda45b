// SPDX-License-Identifier: MIT
// The program's own main(), with a probe that reports its first frame and ends it there.

#include "Figures.h"
#include "FirstFrameProbe.h"

#include "app/Form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    const qint64 entered = steadyNanoseconds();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistameter"));
    FirstFrameProbe probe(entered);
    Form1::setUpApplication();
    Form1 form(Form1::programEnvironment());
    probe.watch(&form);
    return Runtime::run(form);
}
