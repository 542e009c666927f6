#pragma once

#include "app/CommandLine.h"

#include <QElapsedTimer>

#include <functional>

class WindowMain;

// The switches of the benchmark's measuring build of the application (velmora-measured), for
// measuring the tool from outside against velmora-sim. They are not in the shipped velmora:
// --keep-requesting loads the HPU with reads the user never asked for.
//   --measure-startup  prints "first paint after N ms" (N from the start of main) once the
//                      main window has painted, then quits
//   --connect          connects at once to the last device of the list (the --port device)
//   --keep-requesting  keeps an EEPROM read request pending, so that a command follows every
//                      converter frame; the HPU only answers it, nothing changes there
//   --without-reports  leaves the bus health refresh and the event journal off, the reference
//                      against which their cost is measured
struct MeasurementOptions {
    bool measureStartup = false;
    bool connectAtStart = false;
    bool keepRequesting = false;
    bool withoutReports = false;
};

// velmora's own options, then the switches above.
struct MeasuredCommandLine {
    StartupOptions startup;
    MeasurementOptions measurement;
};
MeasuredCommandLine parseMeasuredCommandLine(const QStringList& arguments);

void startMeasurements(WindowMain& window, const MeasurementOptions& options, const QElapsedTimer& sinceMain);

// Calls told once, with the milliseconds since sinceMain started, when the first paint of a
// widget of the window has been done.
void watchFirstPaint(WindowMain& window, const QElapsedTimer& sinceMain, std::function<void(qint64)> told);
