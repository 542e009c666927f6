#include "app/CommandLine.h"

#include <QCommandLineParser>

StartupOptions parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Velmora: monitoring and service tool of the hydro installation"));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QStringLiteral("Adds the serial device PATH to the end of the device list "
                       "(a pseudo-terminal, an adapter the system does not list). "
                       "May be given several times."),
        QStringLiteral("PATH"));
    parser.addOption(portOption);
    const QCommandLineOption measureStartupOption(
        QStringLiteral("measure-startup"),
        QStringLiteral("Prints the time from start to the first painted main window, then quits."));
    const QCommandLineOption connectOption(
        QStringLiteral("connect"), QStringLiteral("Connects at once to the last device of the list."));
    const QCommandLineOption keepRequestingOption(
        QStringLiteral("keep-requesting"),
        QStringLiteral("Keeps an EEPROM read request pending, so that a command follows every converter "
                       "frame (for measuring the emission timing)."));
    const QCommandLineOption withoutReportsOption(
        QStringLiteral("without-reports"),
        QStringLiteral("Leaves the bus health refresh and the event journal off (for measuring what "
                       "they cost)."));
    parser.addOptions({measureStartupOption, connectOption, keepRequestingOption, withoutReportsOption});
    const QCommandLineOption demoOption(
        QStringLiteral("demo"),
        QStringLiteral("Adds \"Demo installation\" at the end of the device list: a simulated "
                       "converter and HPU inside the program, no adapter needed."));
    parser.addOption(demoOption);

    StartupOptions options;
    if (!parser.parse(arguments)) {
        options.exit = true;
        options.exitCode = 2;
        options.message = parser.errorText() + QLatin1Char('\n') + parser.helpText();
        return options;
    }
    if (parser.isSet(helpOption)) {
        options.exit = true;
        options.message = parser.helpText();
        return options;
    }
    if (parser.isSet(versionOption)) {
        options.exit = true;
        options.message = QStringLiteral("Velmora %1.%2.%3\n")
                              .arg(VELMORA_VERSION_MAJOR)
                              .arg(VELMORA_VERSION_MINOR)
                              .arg(VELMORA_VERSION_PATCH);
        return options;
    }
    options.extraPorts = parser.values(portOption);
    options.measureStartup = parser.isSet(measureStartupOption);
    options.connectAtStart = parser.isSet(connectOption);
    options.keepRequesting = parser.isSet(keepRequestingOption);
    options.withoutReports = parser.isSet(withoutReportsOption);
    options.demo = parser.isSet(demoOption);
    return options;
}

bool answersWithoutWindows(const StartupOptions& options) {
    return options.exit && options.exitCode == 0;
}
