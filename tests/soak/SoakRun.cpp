#include "SoakRun.h"

#include "FakeSerialPort.h"
#include "ManualTimeline.h"
#include "Recorders.h"
#include "ResidentMemory.h"
#include "monitor/Monitor.h"
#include "datalog/CsvLog.h"
#include "link/RawStreamTrace.h"
#include "sim/SimulatedSerialPort.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTime>

namespace {

// AddressSanitizer keeps freed memory in quarantine (up to 256 MiB), so the footprint of a
// sanitized run grows by design: there the memory bound is not applied.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitizedMemory = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitizedMemory = true;
#else
constexpr bool kSanitizedMemory = false;
#endif
#else
constexpr bool kSanitizedMemory = false;
#endif

constexpr qint64 kMinuteMs = 60 * 1000;
constexpr int kSecondsPerDay = 24 * 3600;

Sim::SimulationSettings noisyLine(const SoakSettings& settings) {
    Sim::SimulationSettings sim;
    sim.faults.rate = settings.lineFaultRate;
    sim.faults.seed = settings.seed;
    return sim; // every kind of fault, silences longer than the 3 s stale limit
}

QTime loggedTime(const QString& line) {
    const QLocale locale;
    return locale.toTime(line.section(QLatin1Char(';'), 0, 0), CsvLog::timeFormat(locale));
}

// The data lines of every CSV file in the folder, in date order, checked against the layout:
// "LOG ORVANE", the title line, then the lines of the day: a file that follows another
// starts at midnight, and the one before ends on the day's last second.
QStringList logLines(const QString& folder, int* files, QString* failure) {
    QStringList lines;
    const QDir dir(folder);
    const QStringList names = dir.entryList({QStringLiteral("*_LogOrvane_*.csv")}, QDir::Files, QDir::Name);
    *files = int(names.size());
    for (const QString& name : names) {
        QFile file(dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            *failure = QStringLiteral("cannot read %1").arg(name);
            return {};
        }
        const QStringList fileLines =
            QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (fileLines.size() < 2 || fileLines[0] != QLatin1String("LOG ORVANE")) {
            *failure = QStringLiteral("%1 lacks its header").arg(name);
            return {};
        }
        if (!lines.isEmpty() && fileLines.size() > 2 &&
            (loggedTime(lines.last()) != QTime(23, 59, 59) || loggedTime(fileLines[2]) != QTime(0, 0))) {
            *failure = QStringLiteral("the day's file changes between \"%1\" and \"%2\", not at midnight")
                           .arg(lines.last(), fileLines[2]);
            return {};
        }
        lines += fileLines.mid(2);
    }
    return lines;
}

// One line per second, none missing, none twice, across midnight too.
QString checkOneLinePerSecond(const QStringList& lines) {
    int previous = -1;
    for (const QString& line : lines) {
        const QString field = line.section(QLatin1Char(';'), 0, 0);
        const QTime time = loggedTime(line);
        if (!time.isValid())
            return QStringLiteral("unreadable time in the log line \"%1\"").arg(line);
        const int second = time.msecsSinceStartOfDay() / 1000;
        if (previous >= 0 && second != (previous + 1) % kSecondsPerDay)
            return QStringLiteral("the log goes from %1 to %2")
                .arg(QTime::fromMSecsSinceStartOfDay(previous * 1000).toString(Qt::ISODate), field);
        previous = second;
    }
    return QString();
}

} // namespace

QString SoakReport::summary() const {
    QString text =
        QStringLiteral("%1 simulated hours in %2 s of wall time: %3 converter frames decoded, %4 line "
                       "faults injected, %5 of %6 commands heard by the HPU; %7 log lines in %8 files "
                       "for %9 connected seconds\n")
            .arg(simulatedSeconds / 3600.0, 0, 'f', 1)
            .arg(wallMs / 1000.0, 0, 'f', 1)
            .arg(converterFramesDecoded)
            .arg(faultsInjected)
            .arg(commandsHeard)
            .arg(commandsBuilt)
            .arg(logLines)
            .arg(logFiles)
            .arg(simulatedSeconds);
    text += residentIsCurrent ? QStringLiteral("resident memory per hour (MiB):")
                              : QStringLiteral("peak resident memory per hour (MiB):");
    for (qint64 bytes : residentBytesPerHour)
        text += QStringLiteral(" %1").arg(bytes / 1048576.0, 0, 'f', 2);
    text += QStringLiteral("\ngrowth after warm-up: %1 KiB%2")
                .arg(memoryGrowth / 1024.0, 0, 'f', 0)
                .arg(memoryChecked ? QString() : QStringLiteral(" (not checked under AddressSanitizer)"));
    return text;
}

SoakReport runSoak(const SoakSettings& settings) {
    SoakReport report;
    report.residentIsCurrent = residentMemoryIsCurrent();
    QElapsedTimer wall;
    wall.start();

    QTemporaryDir dir;
    if (!dir.isValid()) {
        report.failure = QStringLiteral("no temporary folder");
        return report;
    }
    QDir(dir.path()).mkpath(QStringLiteral("resources"));
    QDir(dir.path()).mkpath(QStringLiteral("Documents"));
    const QString logFolder = dir.path() + QStringLiteral("/Documents"); // no Log_Folder.txt: the default

    ManualTimeline timeline(settings.wallStart);
    SimulatedSerialPort port(timeline, timeline, noisyLine(settings));
    FakeDeviceList devices;
    devices.setNames({QStringLiteral("ttyUSB0")});
    RecordingNotifier notifier;
    RecordingSound sound;
    FixedResourceFolder resources(dir.path() + QStringLiteral("/resources"));
    FixedUserFolders userFolders(logFolder, dir.path());
    Monitor monitor(
        Platform{timeline, timeline, timeline, port, devices, notifier, sound, resources, userFolders});

    QObject::connect(&port.installation(), &Sim::SimulatedInstallation::faultInjected,
                     [&report] { ++report.faultsInjected; });
    qint64 lastConverterStamp = -1;
    // After the monitor's own handler: the bytes are decoded as they arrive.
    QObject::connect(&port, &SerialPort::dataReceived, [&] {
        if (monitor.state().timeLastDataCV != lastConverterStamp) {
            lastConverterStamp = monitor.state().timeLastDataCV;
            ++report.converterFramesDecoded;
        }
    });

    monitor.open();
    timeline.advance(500); // the device list fills
    monitor.ConnectButton_Action();
    if (!monitor.isConnected() || !monitor.controls().CheckBoxLog_checked) {
        report.failure = QStringLiteral("not connected and logging at the start");
        return report;
    }

    for (int hour = 0; hour < settings.simulatedHours && report.failure.isEmpty(); ++hour) {
        for (int minute = 0; minute < 60; ++minute) {
            // A request a minute, as a technician at the tool might send: pump or EEPROM read.
            if (minute % 2 == 0)
                monitor.PompeButton_Action();
            else
                monitor.lectureEEPROM_HPU();
            ++report.commandsBuilt;
            timeline.advance(kMinuteMs);
        }
        report.residentBytesPerHour.append(residentMemoryBytes());
        if (!notifier.messages.isEmpty())
            report.failure =
                QStringLiteral("the user was told: %1").arg(notifier.messages.join(QLatin1String(" | ")));
        else if (monitor.trace().text().size() > RawStreamTrace::kMaxChars)
            report.failure =
                QStringLiteral("the raw-stream trace holds %1 characters").arg(monitor.trace().text().size());
        else if (!monitor.isConnected() || !monitor.controls().CheckBoxLog_checked)
            report.failure = QStringLiteral("disconnected or logging off in hour %1").arg(hour + 1);
    }
    report.simulatedSeconds = qint64(report.residentBytesPerHour.size()) * 3600;

    for (const Sim::ReceivedCommand& command : port.installation().commands())
        report.commandsHeard += command.checksumOk ? 1 : 0;

    QString logFailure;
    const QStringList lines = logLines(logFolder, &report.logFiles, &logFailure);
    report.logLines = lines.size();
    if (report.failure.isEmpty() && !logFailure.isEmpty())
        report.failure = logFailure;
    if (report.failure.isEmpty() && report.logLines != report.simulatedSeconds)
        report.failure =
            QStringLiteral("%1 log lines for %2 seconds").arg(report.logLines).arg(report.simulatedSeconds);
    if (report.failure.isEmpty())
        report.failure = checkOneLinePerSecond(lines);

    // Every command built reaches the HPU (the last one may still wait for a converter frame).
    if (report.failure.isEmpty() && report.commandsHeard < report.commandsBuilt - 1)
        report.failure = QStringLiteral("%1 of %2 commands reached the HPU")
                             .arg(report.commandsHeard)
                             .arg(report.commandsBuilt);
    // Five converter frames a second, less those the faults cost.
    const qint64 expectedFrames = report.simulatedSeconds * 5;
    if (report.failure.isEmpty() && report.converterFramesDecoded < expectedFrames * 7 / 10)
        report.failure = QStringLiteral("only %1 converter frames decoded of about %2")
                             .arg(report.converterFramesDecoded)
                             .arg(expectedFrames);

    const int warm = qBound(1, settings.warmUpHours, int(report.residentBytesPerHour.size()));
    if (!report.residentBytesPerHour.isEmpty()) {
        report.memoryGrowth = report.residentBytesPerHour.last() - report.residentBytesPerHour[warm - 1];
        report.memoryChecked = !kSanitizedMemory;
        if (report.failure.isEmpty() && report.memoryChecked &&
            report.memoryGrowth > settings.memoryGrowthBound)
            report.failure = QStringLiteral("resident memory grew by %1 KiB after warm-up")
                                 .arg(report.memoryGrowth / 1024);
    }
    report.wallMs = wall.elapsed();
    return report;
}
