#pragma once

#include <QString>
#include <QStringList>

// What the command line asks of this run.
struct StartupOptions {
    QStringList extraPorts;      // --port PATH, repeatable: devices added at the end of the device list
    bool measureStartup = false; // --measure-startup, --connect, --keep-requesting: see MeasurementRun.h
    bool connectAtStart = false;
    bool keepRequesting = false;
    bool withoutReports = false; // --without-reports: see MeasurementRun.h
    bool demo = false;           // --demo: "Demo installation" listed last, served by the simulation
    bool exit = false;           // --help, --version or a mistake: nothing to run
    int exitCode = 0;
    QString message; // to print before exiting
};

// Reads the arguments (program name first). New options join here.
StartupOptions parseCommandLine(const QStringList& arguments);

// --help and --version: answered before the GUI application exists. Other mistakes wait for
// it, since only it takes Qt's own options (-platform, -style ...) out of the arguments.
bool answersWithoutWindows(const StartupOptions& options);
