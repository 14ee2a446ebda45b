// SPDX-License-Identifier: MIT
#include "Form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistameter"));
    Form1 form(Form1::ProgramEnvironment());
    return Runtime::Run(form);
}
