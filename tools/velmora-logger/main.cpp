// velmora-logger: the unattended logger. It reads the bus as the window does, with the same
// monitor, writes the same CSV log and, with --mqtt, publishes each second to a broker. It
// never sends a command to the HPU.
#include "ConsolePlatform.h"
#include "LoggerOptions.h"
#include "TerminationSignals.h"

#include "alarms/AlarmSettingsFile.h"
#include "core/Version.h"
#include "datalog/CsvLog.h"
#include "datalog/LogFolderSetting.h"
#include "monitor/BusRecorder.h"
#include "monitor/Monitor.h"
#include "publish/MqttId.h"
#include "publish/MqttPublisher.h"
#include "sim/DemoDevice.h"

#ifdef VELMORA_WITH_MQTT
#include "mqtt/MosquittoTransport.h"
#endif

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>

#include <memory>

namespace {

constexpr int kLogRetryMs = 10000;    // a log folder that failed is tried again after this
constexpr int kFarewellWaitMs = 2000; // for the broker to take "offline" when stopping

// The row of the device list the options name; -1 when none.
int chosenRow(const LoggerOptions& options, const QStringList& rows) {
    if (options.deviceMatch.isEmpty())
        return int(rows.size()) - 1; // --port and --demo add their device last
    for (int i = 0; i < rows.size(); ++i)
        if (rows[i].contains(options.deviceMatch, Qt::CaseInsensitive))
            return i;
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velmora-logger"));
    QCoreApplication::setApplicationVersion(velmoraVersion());

    LoggerCapabilities capabilities;
#ifdef VELMORA_WITH_MQTT
    capabilities.mqtt = true;
#endif
    capabilities.capture = true;
    LoggerOptions options;
    const QString problem = parseLoggerOptions(QCoreApplication::arguments(), capabilities, options);
    if (!problem.isEmpty()) {
        tellConsole(problem + QStringLiteral("\nTry velmora-logger --help"));
        return 2;
    }
    if (!options.portPath.isEmpty() && !QFileInfo::exists(options.portPath)) {
        tellConsole(QStringLiteral("--port: %1 does not exist").arg(options.portPath));
        return 2;
    }

    ConsolePlatform console(options.portPath.isEmpty() ? QStringList() : QStringList{options.portPath});
    std::unique_ptr<DemoPlatform> demo;
    if (options.demo)
        demo = std::make_unique<DemoPlatform>(console.platform());
    const Platform platform = demo ? demo->platform() : console.platform();
    Monitor monitor(platform);
    // It never speaks, so no quiet gap needs the tick's timing: half the wake-ups.
    monitor.setReceptionPace(ReceptionPacer::Pace::AsBytesArrive);
    monitor.open();

    // The device, chosen as a technician would in the window's list.
    monitor.PortListUpdater_Action();
    const QStringList rows = monitor.controls().SerialPortsPopupMenu_rows;
    const int row = chosenRow(options, rows);
    if (row < 0) {
        tellConsole(QStringLiteral("--device: no serial device name contains \"%1\"; present: %2")
                        .arg(options.deviceMatch,
                             rows.isEmpty() ? QStringLiteral("none") : rows.join(QStringLiteral(", "))));
        return 2;
    }
    monitor.SerialPortsPopupMenu_SelectionChanged(row);
    const QString deviceName = rows[row];

    // Thresholds as the window saved them; the log folder from the command line.
    if (!options.alarmSettings.isEmpty())
        readAlarmsFile(monitor.state(), options.alarmSettings);
    monitor.state().LogFolder =
        !options.logFolder.isEmpty()
            ? options.logFolder
            : LogFolderSetting(platform.resources, platform.userFolders).defaultFolder();
    if (monitor.state().LogFolder.isEmpty()) {
        tellConsole(QStringLiteral("no Documents or home folder for the log: name one with --log-folder"));
        return 2;
    }
    // Nobody can tick the Log box again: a failing folder is tried again a little later.
    console.notifier().onMessage = [&monitor](const QString& text) {
        if (text == CsvLog::failureMessage())
            QTimer::singleShot(kLogRetryMs, &monitor, [&monitor] { monitor.setLogChecked(true); });
    };

    // --record: what the bus carries, from the start; a file that cannot be made is a mistake.
    BusRecorder recorder(monitor, console.notifier());
    // An existing capture (perhaps of the crash before this start) is kept: a new one is numbered beside it.
    if (!options.recordFile.isEmpty()) {
        if (!recorder.start(options.recordFile, Capture::kMaxFileBytes, CaptureWriter::Existing::KeepAndNumber))
            return 2; // the recorder said why, on stderr
        if (recorder.path() != options.recordFile)
            tellConsole(QStringLiteral("--record: %1 exists and is kept; recording to %2")
                            .arg(options.recordFile, recorder.path()));
    }

    monitor.ConnectButton_Action();
    if (!monitor.isConnected())
        return 1; // the port said why, on stderr
    tellConsole(QStringLiteral("reading %1, logging to %2").arg(deviceName, monitor.state().LogFolder));

    // Publishing.
    std::unique_ptr<MqttTransport> transport;
    std::unique_ptr<MqttPublisher> publisher;
#ifdef VELMORA_WITH_MQTT
    if (options.mqtt) {
        const QString id = options.mqttId.isEmpty() ? MqttId::fromDeviceName(deviceName) : options.mqttId;
        transport = std::make_unique<MosquittoTransport>();
        publisher = std::make_unique<MqttPublisher>(*transport, PublishedMessages(id));
        const QString broker = options.broker.display();
        QObject::connect(publisher.get(), &MqttPublisher::connected, [broker, id] {
            tellConsole(QStringLiteral("MQTT: connected to %1, publishing velmora/%2/state").arg(broker, id));
        });
        QObject::connect(
            publisher.get(), &MqttPublisher::connectionFailed, [broker](const QString& reason, bool refused) {
                tellConsole(
                    QStringLiteral("MQTT: %1: %2%3")
                        .arg(broker, reason,
                             refused ? QStringLiteral(" (check the user name in --mqtt and the password in "
                                                      "--mqtt-password-file); trying again")
                                     : QStringLiteral("; trying again")));
            });
        // Told on stderr and kept in the event journal beside the log.
        QObject::connect(
            publisher.get(), &MqttPublisher::statesDropped, &monitor, [&monitor, broker](quint64 count) {
                const QString detail = QStringLiteral("%1 seconds dropped from the queue while %2 was away")
                                           .arg(count)
                                           .arg(broker);
                tellConsole(QStringLiteral("MQTT: ") + detail);
                monitor.recordEvent(MonitorEvent::Kind::StatesDropped, detail);
            });
        QObject::connect(&monitor, &Monitor::secondSampled, publisher.get(), &MqttPublisher::publishSample);
        MqttConnection connection;
        connection.broker = options.broker;
        connection.password = options.mqttPassword;
        connection.caFile = options.mqttCaFile;
        connection.clientId = QStringLiteral("velmora-logger-") + id;
        publisher->start(connection);
    }
#endif

    const auto finish = [&](int status) {
        if (publisher)
            publisher->stop(kFarewellWaitMs);
        monitor.close();
        QCoreApplication::exit(status);
    };

    // The link's events on stderr too (the journal beside the log has them all): a lost adapter
    // is reopened by the monitor once a second until it is back. Only after a burst of serial
    // errors does the monitor give up and disconnect; the logger then leaves with status 1, for
    // the service manager to start it afresh.
    bool stopping = false;
    QObject::connect(&monitor, &Monitor::eventOccurred, &app, [&](const MonitorEvent& event) {
        using K = MonitorEvent::Kind;
        if (event.kind == K::ConnectionLost || event.kind == K::Reconnected || event.kind == K::Disconnected ||
            event.kind == K::ClockStepped || event.kind == K::LogWriteFailed)
            tellConsole(MonitorEvent::name(event.kind) + QStringLiteral(": ") + event.detail);
        if (event.kind == K::Disconnected && !stopping) {
            stopping = true;
            finish(1);
        }
    });

    TerminationSignals termination;
    if (!termination.install())
        tellConsole(QStringLiteral("SIGINT and SIGTERM cannot be caught: stopping may lose the last second"));
    QObject::connect(&termination, &TerminationSignals::received, &app, [&](int signalNumber) {
        tellConsole(QStringLiteral("stopping (signal %1)").arg(signalNumber));
        stopping = true;
        finish(0);
    });

    return app.exec();
}
