// SPDX-License-Identifier: MIT
#include "CommandLine.h"

#include "config.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

// The options QApplication itself reads from the command line, as Qt documents them. They
// are accepted, kept out of the help, and passed on untouched; a desktop session restores
// the program with -session, for one.
struct QtOption
{
    const char *name;
    bool takesValue;
};

constexpr QtOption QtOptions[] = {
    {"platform", true},     {"platformpluginpath", true}, {"platformtheme", true},
    {"plugin", true},       {"qwindowgeometry", true},    {"qwindowicon", true},
    {"qwindowtitle", true}, {"reverse", false},           {"session", true},
    {"display", true},      {"geometry", true},           {"style", true},
    {"stylesheet", true},   {"widgetcount", false},
};

void print(std::FILE *stream, const QString &text)
{
    std::fprintf(stream, "%s", text.toLocal8Bit().constData());
}

} // namespace

std::optional<int> answerCommandLine(int &argc, char **argv)
{
    // The usual start has nothing to read and pays for nothing here.
    if (argc < 2)
        return std::nullopt;

    const QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    // Qt's options are single-dash words: -platform is one option, not -p -l -a...
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral(
        "Shows how popular a QQ Zone space is: type a QQ account number in the window, and\n"
        "Vistameter shows the total number of visits to that space and today's visits.\n"
        "Qt's own options, such as -platform and -style, are passed on to Qt."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    for (const QtOption &qtOption : QtOptions) {
        QCommandLineOption option(QString::fromLatin1(qtOption.name));
        if (qtOption.takesValue)
            option.setValueName(QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    QString error;
    if (!parser.parse(QCoreApplication::arguments()))
        error = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        error = QStringLiteral("Unexpected argument '%1'.")
                    .arg(parser.positionalArguments().constFirst());
    if (!error.isEmpty()) {
        print(stderr, QCoreApplication::applicationName() + QStringLiteral(": ") + error + u'\n' +
                          parser.helpText());
        return BadCommandLineExitStatus;
    }
    if (parser.isSet(help)) {
        print(stdout, parser.helpText());
        return 0;
    }
    if (parser.isSet(version)) {
        print(stdout, QStringLiteral("Vistameter %1\n").arg(QLatin1String(VISTAMETER_VERSION)));
        return 0;
    }
    return std::nullopt;
}
