// SPDX-License-Identifier: MIT
#include "CommandLine.h"
#include "Form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (const std::optional<int> status = AnswerCommandLine(argc, argv))
        return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistameter"));
    Form1::setUpApplication();
    Form1 form(Form1::ProgramEnvironment());
    return Runtime::Run(form);
}
