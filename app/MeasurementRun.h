#pragma once

#include <QElapsedTimer>

#include <functional>

class WindowMain;
struct StartupOptions;

// Runs for measuring the tool from outside (the benchmarks against velmora-sim), asked for on
// the command line only:
//   --measure-startup  prints "first paint after N ms" (N from the start of main) once the
//                      main window has painted, then quits
//   --connect          connects at once to the last device of the list (the --port device)
//   --keep-requesting  keeps an EEPROM read request pending, so that a command follows every
//                      converter frame; the HPU only answers it, nothing changes there
//   --without-reports  leaves the bus health refresh and the event journal off, the reference
//                      against which their cost is measured
void startMeasurements(WindowMain& window, const StartupOptions& options, const QElapsedTimer& sinceMain);

// Calls told once, with the milliseconds since sinceMain started, when the first paint of a
// widget of the window has been done.
void watchFirstPaint(WindowMain& window, const QElapsedTimer& sinceMain, std::function<void(qint64)> told);
