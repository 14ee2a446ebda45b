// SPDX-License-Identifier: MIT
// The demo statistics service: vistameter-demo-service [port], 8080 when none is given.

#include "DemoService.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vistameter-demo-service"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Answers Vistameter's statistics request for a few made-up spaces."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("port"),
                                 QStringLiteral("Port on 127.0.0.1 (default 8080)."),
                                 QStringLiteral("[port]"));
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList arguments = parser.positionalArguments();
    bool valid = arguments.size() <= 1;
    const uint port = arguments.isEmpty() ? 8080 : arguments.first().toUInt(&valid);
    if (!valid || port == 0 || port > 65535) {
        err << "usage: vistameter-demo-service [port]\n";
        return 2;
    }

    DemoService service;
    if (!service.listen(quint16(port))) {
        err << "cannot listen on 127.0.0.1:" << port << ": " << service.errorString() << '\n';
        return 1;
    }
    // Printed as served, so that a log shows each lookup as it happens.
    QObject::connect(&service, &DemoService::served, &app,
                     [&out](const QByteArray &requestLine, int status) {
                         out << status << ' ' << requestLine << Qt::endl;
                     });

    out << "Demo statistics service on 127.0.0.1:" << service.port()
        << "; build Vistameter with -DVISTAMETER_SERVICE_HOST=127.0.0.1:" << service.port()
        << " and try these accounts:\n";
    for (const DemoService::Space &space : DemoService::spaces())
        out << "  " << space.account << "  " << space.shows << '\n';
    out << "Any other account is a closed space. Ctrl+C stops the service." << Qt::endl;
    return QCoreApplication::exec();
}
