// SPDX-License-Identifier: MIT
#include "CommandLine.h"
#include "Form1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (const std::optional<int> status = answerCommandLine(argc, argv))
        return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistameter"));
    Form1::setUpApplication();
    Form1 form(Form1::programEnvironment());
    return Runtime::run(form);
}
