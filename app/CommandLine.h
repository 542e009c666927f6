#pragma once

#include <QString>
#include <QStringList>

class QCommandLineParser;

// What the command line asks of this run.
struct StartupOptions {
    QStringList extraPorts; // --port PATH, repeatable: devices added at the end of the device list
    bool demo = false;      // --demo: "Demo installation" listed last, served by the simulation
    QString recordPath;     // --record FILE: a capture of the bus from the start
    qint64 recordLimit = 0; // --record-limit SIZE: where that capture and those of the File menu stop
    QString replayPath;     // --replay FILE: "Replay: <file name>" listed last, played from the capture
    double replaySpeed = 1.0; // --speed X: the capture's timing divided by X
    bool trends = false;    // --trends: the trends window opens with the main window
    bool exit = false;      // --help, --version or a mistake: nothing to run
    int exitCode = 0;
    QString message; // to print before exiting
};

// Reads the arguments (program name first). New options join here.
StartupOptions parseCommandLine(const QStringList& arguments);

// The same, on a parser that already holds a front end's own options (the benchmark's
// measuring build adds its switches this way); the caller reads those from the parser.
StartupOptions parseCommandLine(const QStringList& arguments, QCommandLineParser& parser);

// --help and --version: answered before the GUI application exists. Other mistakes wait for
// it, since only it takes Qt's own options (-platform, -style ...) out of the arguments.
bool answersWithoutWindows(const StartupOptions& options);
