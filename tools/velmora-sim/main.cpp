// velmora-sim: the simulated installation served on a pseudo-terminal, for trying the tool
// without the installation or an adapter.
#include "PseudoTerminal.h"
#include "SimOptions.h"

#include "core/ProgramClock.h"
#include "core/Timer.h"
#include "core/Version.h"
#include "sim/CapturePlayer.h"
#include "sim/SimulatedInstallation.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

namespace {

void say(const QString& line) {
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout); // a supervising program reads us through a pipe
}

QString describe(const Sim::ReceivedCommand& command) {
    QString line = command.delayMs < 0
                       ? QStringLiteral("before any converter frame: ")
                       : QStringLiteral("+%1 ms after converter frame: ").arg(command.delayMs);
    line += QString::fromLatin1(command.bytes.toHex(' ').toUpper()) + QLatin1String("  ") + command.name();
    if (command.checksumOk && command.command() == HpuCommands::Command::EepromWrite && command.bytes.size() == 9)
        line += QStringLiteral(" %1 = %2")
                    .arg(quint8(command.bytes[4]))
                    .arg((quint8(command.bytes[5]) << 8) | quint8(command.bytes[6]));
    if (!command.checksumOk)
        line += QStringLiteral(" (bad checksum, ignored)");
    return line;
}

QString describe(Sim::Device device, Sim::FaultKind kind) {
    const QString who =
        device == Sim::Device::Converter ? QStringLiteral("converter") : QStringLiteral("HPU");
    switch (kind) {
    case Sim::FaultKind::Junk:
        return QStringLiteral("fault: junk bytes before a %1 frame").arg(who);
    case Sim::FaultKind::StrayByte:
        return QStringLiteral("fault: stray byte before a %1 frame").arg(who);
    case Sim::FaultKind::BadChecksum:
        return QStringLiteral("fault: %1 frame with a bad checksum").arg(who);
    case Sim::FaultKind::Silence:
        return QStringLiteral("fault: %1 silent").arg(who);
    }
    return QString();
}

// --replay: the capture's received bytes on the pseudo-terminal, played from the start each
// time a program opens the device, so that none of it is lost before anyone reads.
int serveReplay(QCoreApplication& app, const SimRun& run) {
    SystemProgramClock clock;
    QtTimerFactory timers;
    Sim::CapturePlayer player(timers, clock);
    if (!player.open(run.replayPath)) {
        std::fprintf(stderr, "velmora-sim: the capture %s cannot be replayed: %s\n",
                     qPrintable(run.replayPath), qPrintable(player.errorString()));
        return 1;
    }
    PseudoTerminal terminal;
    QString error;
    if (!terminal.open(&error)) {
        std::fprintf(stderr, "velmora-sim: cannot create a pseudo-terminal (%s)\n", qPrintable(error));
        return 1;
    }
    QObject::connect(&player, &Sim::CapturePlayer::bytesPlayed, &terminal, &PseudoTerminal::write);
    QObject::connect(&player, &Sim::CapturePlayer::finished,
                     [] { say(QStringLiteral("velmora-sim: end of replay")); });

    say(QStringLiteral("velmora-sim: replay of %1 at speed %2, from when a program opens the device")
            .arg(run.replayPath)
            .arg(run.replaySpeed));
    say(QStringLiteral("Device: %1").arg(terminal.devicePath()));
    say(QStringLiteral("Connect with: velmora --port %1").arg(terminal.devicePath()));

    QTimer clientWatch;
    bool client = false;
    QObject::connect(&clientWatch, &QTimer::timeout, [&] {
        const bool now = terminal.hasClient();
        if (now == client)
            return;
        client = now;
        if (client) {
            say(QStringLiteral("velmora-sim: a program opened the device, replay starts"));
            player.start(run.replaySpeed);
        } else {
            player.stop();
        }
    });
    clientWatch.start(20);
    if (run.durationSeconds > 0.0)
        QTimer::singleShot(int(run.durationSeconds * 1000.0), &app, &QCoreApplication::quit);
    return app.exec();
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmora-sim"));
    QCoreApplication::setApplicationVersion(velmoraVersion());

    SimRun run;
    const QString problem = parseSimRun(QCoreApplication::arguments(), run);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "velmora-sim: %s\nTry velmora-sim --help\n", qPrintable(problem));
        return 2;
    }
    if (!run.replayPath.isEmpty())
        return serveReplay(app, run);

    PseudoTerminal terminal;
    QString error;
    if (!terminal.open(&error)) {
        std::fprintf(stderr, "velmora-sim: cannot create a pseudo-terminal (%s)\n", qPrintable(error));
        return 1;
    }

    SystemProgramClock clock;
    QtTimerFactory timers;
    Sim::SimulatedInstallation installation(timers, clock, run.settings);
    QObject::connect(&installation, &Sim::SimulatedInstallation::bytesSent, &terminal,
                     &PseudoTerminal::write);
    QObject::connect(&terminal, &PseudoTerminal::bytesReceived, &installation,
                     &Sim::SimulatedInstallation::receive);
    QObject::connect(&installation, &Sim::SimulatedInstallation::commandReceived,
                     [](const Sim::ReceivedCommand& command) { say(describe(command)); });
    QObject::connect(&installation, &Sim::SimulatedInstallation::faultInjected,
                     [](Sim::Device device, Sim::FaultKind kind) { say(describe(device, kind)); });

    const Sim::SimulationSettings& s = run.settings;
    say(QStringLiteral("velmora-sim: converter protocol %1 every %2 ms, HPU every %3 ms, faults %4, "
                       "delivery %5")
            .arg(s.protocol == Sim::ProtocolVersion::V1 ? QStringLiteral("V1") : QStringLiteral("V2"))
            .arg(s.converterPeriodMs)
            .arg(s.hpuPeriodMs)
            .arg(s.faults.rate > 0.0 ? QStringLiteral("at %1 (seed %2)").arg(s.faults.rate).arg(s.faults.seed)
                                     : QStringLiteral("off"))
            .arg(s.delivery == Sim::ByteDelivery::WholeFrame ? QStringLiteral("by frame")
                                                             : QStringLiteral("byte by byte")));
    say(QStringLiteral("Device: %1").arg(terminal.devicePath()));
    say(QStringLiteral("Connect with: velmora --port %1").arg(terminal.devicePath()));

    installation.start();
    if (run.durationSeconds > 0.0)
        QTimer::singleShot(int(run.durationSeconds * 1000.0), &app, &QCoreApplication::quit);
    const int status = app.exec();
    say(QStringLiteral("velmora-sim: end of run, %1 commands received").arg(installation.commands().size()));
    return status;
}
