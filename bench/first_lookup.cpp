// SPDX-License-Identifier: MIT
// The first lookup of a program started afresh, as the program has it: Qt Network is not
// mapped until the lookup loads the transfer library. Prints the time from the click to both
// counters written:
//   vistameter-first-lookup HOST ACCOUNT TOTAL TODAY [--preloaded]
// With --preloaded the transfer library is loaded before the click, which leaves out of the
// lookup what loading it costs.

#include "BenchWindow.h"
#include "LookupClock.h"

#include "runtime/App.h"

#include "config.h"

#include <QApplication>
#include <QLibrary>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vistameter"));
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 5) {
        std::fputs("usage: vistameter-first-lookup HOST ACCOUNT TOTAL TODAY [--preloaded]\n",
                   stderr);
        return 2;
    }
    const std::unique_ptr<Form1> form = ShowWindow(arguments[1]);
    if (!form)
        return 1;
    if (arguments.contains(QStringLiteral("--preloaded"))) {
        QLibrary transfer(Runtime::App::Path() +
                          QStringLiteral("/" VISTAMETER_TRANSFER_PLUGIN_FILE));
        if (!transfer.load())
            return 1;
    }
    LookupClock clock(form.get());
    if (!clock.isComplete())
        return 1;
    const qint64 elapsed = clock.time(arguments[2], arguments[3], arguments[4]);
    if (elapsed < 0)
        return 1;
    std::printf("ns=%lld\n", elapsed);
    return 0;
}
