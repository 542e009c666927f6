#include "app/CommandLine.h"

#include "core/Version.h"
#include "datalog/CaptureFormat.h"

#include <QCommandLineParser>
#include <QCoreApplication>

StartupOptions parseCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    return parseCommandLine(arguments, parser);
}

StartupOptions parseCommandLine(const QStringList& arguments, QCommandLineParser& parser) {
    parser.setApplicationDescription(QCoreApplication::translate(
        "CommandLine", "Velmora: monitoring and service tool of the hydro installation"));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QCoreApplication::translate("CommandLine",
                                    "Adds the serial device PATH to the end of the device list "
                                    "(a pseudo-terminal, an adapter the system does not list). "
                                    "May be given several times."),
        QStringLiteral("PATH"));
    parser.addOption(portOption);
    const QCommandLineOption demoOption(
        QStringLiteral("demo"),
        QCoreApplication::translate("CommandLine",
                                    "Adds \"Demo installation\" at the end of the device list: a simulated "
                                    "converter and HPU inside the program, no adapter needed."));
    parser.addOption(demoOption);
    const QCommandLineOption trendsOption(
        QStringLiteral("trends"),
        QCoreApplication::translate("CommandLine", "Opens the Trends window with the main window."));
    parser.addOption(trendsOption);
    const QCommandLineOption recordOption(
        QStringLiteral("record"),
        QCoreApplication::translate(
            "CommandLine", "Records every chunk of bytes received and every command written into the capture "
                           "FILE, from the start (File > Record bus... does the same from the window)."),
        QStringLiteral("FILE"));
    const QCommandLineOption recordLimitOption(
        QStringLiteral("record-limit"),
        QCoreApplication::translate(
            "CommandLine",
            "Size at which a capture stops, in bytes or with K, M or G (default and most 1G)."),
        QStringLiteral("SIZE"), QStringLiteral("1G"));
    const QCommandLineOption replayOption(
        QStringLiteral("replay"),
        QCoreApplication::translate(
            "CommandLine", "Adds \"Replay: <file name>\" at the end of the device list: connecting plays the "
                           "received bytes of the capture FILE through the link."),
        QStringLiteral("FILE"));
    const QCommandLineOption speedOption(
        QStringLiteral("speed"),
        QCoreApplication::translate(
            "CommandLine", "Plays a replay X times faster than it was recorded (default 1, 0.01 to 1000)."),
        QStringLiteral("X"), QStringLiteral("1"));
    parser.addOptions({recordOption, recordLimitOption, replayOption, speedOption});

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
        options.message = QStringLiteral("Velmora %1\n").arg(velmoraVersion());
        return options;
    }
    options.extraPorts = parser.values(portOption);
    options.demo = parser.isSet(demoOption);
    options.trends = parser.isSet(trendsOption);

    const auto mistake = [&options, &parser](const QString& text) {
        options.exit = true;
        options.exitCode = 2;
        options.message = text + QLatin1Char('\n') + parser.helpText();
        return options;
    };
    options.recordPath = parser.value(recordOption);
    options.recordLimit = Capture::parseSize(parser.value(recordLimitOption));
    if (options.recordLimit < 1024 || options.recordLimit > Capture::kMaxFileBytes)
        return mistake(QCoreApplication::translate(
                           "CommandLine", "--record-limit must be a size from 1K to 1G, such as 500M, not %1")
                           .arg(parser.value(recordLimitOption)));
    options.replayPath = parser.value(replayOption);
    bool ok = false;
    options.replaySpeed = parser.value(speedOption).toDouble(&ok);
    if (!ok || options.replaySpeed < 0.01 || options.replaySpeed > 1000.0)
        return mistake(
            QCoreApplication::translate("CommandLine", "--speed must be a number from 0.01 to 1000, not %1")
                .arg(parser.value(speedOption)));
    return options;
}

bool answersWithoutWindows(const StartupOptions& options) {
    return options.exit && options.exitCode == 0;
}
