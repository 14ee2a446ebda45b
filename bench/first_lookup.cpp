// SPDX-License-Identifier: MIT
// The first lookup of a program started afresh, as the program has it: Qt Network is not
// mapped until the lookup loads the transfer library. Reports the time from the click to both
// counters written (Figures.h):
//   vistameter-first-lookup HOST ACCOUNT TOTAL TODAY [--preloaded]       lookup (ns)
// With --preloaded the transfer library is loaded before the click, which leaves out of the
// lookup what loading it costs.

#include "BenchWindow.h"
#include "Figures.h"
#include "LookupClock.h"

#include "runtime/App.h"

#include "config.h"

#include <QApplication>
#include <QLibrary>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistameter"));
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 5)
        failMeasurement(QStringLiteral("expects HOST ACCOUNT TOTAL TODAY [--preloaded]"));
    const std::unique_ptr<Form1> form = showWindow(arguments[1]);
    if (!form)
        failMeasurement(QStringLiteral("the window didn't load"));
    if (arguments.contains(QStringLiteral("--preloaded"))) {
        QLibrary transfer(Runtime::App::Path() +
                          QStringLiteral("/" VISTAMETER_TRANSFER_PLUGIN_FILE));
        if (!transfer.load())
            failMeasurement(transfer.errorString());
    }
    LookupClock clock(form.get());
    if (!clock.isComplete())
        failMeasurement(QStringLiteral("the window lacks a control"));
    const qint64 elapsed = clock.time(arguments[2], arguments[3], arguments[4]);
    if (elapsed < 0)
        failMeasurement(QStringLiteral("the lookup didn't write the counters"));
    printFigure("lookup", elapsed, FigureUnit::Nanoseconds);
    return 0;
}
