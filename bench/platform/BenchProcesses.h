#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// The processes a benchmark starts and measures side by side: the simulator, the tool, and a
// plain serial terminal as the reference.

// Asks a process to end, then kills it if it has not within a few seconds.
void stop(QProcess& process);

// velmora-sim started with the given options; the device path it serves, or an empty text.
QString startSimulator(QProcess& sim, const QString& program, const QStringList& options);

// The window's environment: offscreen, and a home of its own so that its log files and
// settings stay out of the user's.
QProcessEnvironment appEnvironment(const QString& home);

// The one-minute load average of the machine (Linux), or -1.
double loadAverage();

// picocom found on the PATH, or an empty text (scripts/install-deps.sh installs it).
QString referenceTerminal();

// The reference: a plain serial terminal reading a device at 9600 bit/s, its input held open
// and its output thrown away. picocom ends by signalling its process group, so it starts in
// a group of its own.
bool startReferenceTerminal(QProcess& terminal, const QString& program, const QString& device);
