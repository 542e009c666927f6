#pragma once

#include "sim/SimulationSettings.h"

#include <QString>
#include <QStringList>

// What one run of velmora-sim should do, from its command line.
struct SimRun {
    Sim::SimulationSettings settings;
    double durationSeconds = 0.0; // 0: until interrupted
    QString replayPath;           // --replay FILE: a capture served instead of the simulation
    double replaySpeed = 1.0;     // --speed X
};

// Parses the arguments (program name first). On --help or --version the parser prints and
// exits, as QCommandLineParser does. Returns an error text for the user, empty when fine.
QString parseSimRun(const QStringList& arguments, SimRun& run);
