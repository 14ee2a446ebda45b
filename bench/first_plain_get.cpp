// SPDX-License-Identifier: MIT
// The baseline of the first lookup: one plain GET of the statistics request in a process started
// afresh that links Qt Network, as any program that makes a GET does, so that the library was
// mapped before main(). Reports the time the GET took (Figures.h):
//   plain-get-first-lookup HOST ACCOUNT       lookup (ns)

#include "DemoLookups.h"
#include "Figures.h"

#include <QApplication>
#include <QNetworkAccessManager>

int main(int argc, char *argv[])
{
    // An application object of the same kind as the program's, with the same event loop.
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3)
        failMeasurement(QStringLiteral("expects HOST ACCOUNT"));
    std::unique_ptr<QNetworkAccessManager> network;
    printFigure("lookup", plainGet(network, statisticsUrl(arguments[1], arguments[2])),
                FigureUnit::Nanoseconds);
    return 0;
}
