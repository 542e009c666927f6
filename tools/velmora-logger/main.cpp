// velmora-logger: the unattended logger. It reads the bus as the window does, with the same
// monitor, writes the same CSV log and, with --mqtt, publishes each second to a broker. It
// never sends a command to the HPU.
#include "ConsolePlatform.h"
#include "LoggerOptions.h"
#include "ServiceNotice.h"
#include "TerminationSignals.h"

#include "alarms/AlarmSettingsFile.h"
#include "core/Version.h"
#include "datalog/CsvLog.h"
#include "datalog/LogFolderSetting.h"
#include "link/PortSelection.h"
#include "monitor/BusRecorder.h"
#include "monitor/FirstConnection.h"
#include "monitor/Monitor.h"
#include "publish/MqttId.h"
#include "publish/MqttPublisher.h"
#include "sim/DemoDevice.h"

#ifdef VELMORA_WITH_MQTT
#include "mqtt/MosquittoTransport.h"
#endif

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

#include <memory>

namespace {

constexpr int kLogRetryMs = 10000;    // a log folder that failed is tried again after this
constexpr int kFarewellWaitMs = 2000; // for the broker to take "offline" when stopping
// An adapter open but silent this long after bytes were flowing is reopened: nobody is there
// to press Disconnect and Connect.
constexpr qint64 kSilentAdapterMs = 10000;

// The row of the device list the options name; -1 when none is there (yet).
int chosenRow(const LoggerOptions& options, const QStringList& rows) {
    if (options.demo)
        return int(rows.size()) - 1; // the demonstration adds its device last
    if (!options.portPath.isEmpty())
        return int(rows.lastIndexOf(options.portPath)); // listed while the path leads somewhere
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

    ConsolePlatform console(options.portPath.isEmpty() ? QStringList() : QStringList{options.portPath});
    std::unique_ptr<DemoPlatform> demo;
    if (options.demo)
        demo = std::make_unique<DemoPlatform>(console.platform());
    const Platform platform = demo ? demo->platform() : console.platform();
    Monitor monitor(platform);
    // It never speaks, so no quiet gap needs the tick's timing: half the wake-ups.
    monitor.setReceptionPace(ReceptionPacer::Pace::AsBytesArrive);
    monitor.setSilentAdapterReopened(kSilentAdapterMs);
    monitor.open();
    // Alive for the service manager's watchdog while the log tick runs, and only then.
    QObject::connect(&monitor.TimerLog(), &Timer::timeout, &app, [] { ServiceNotice::alive(); });

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
    const QFileInfo folder(monitor.state().LogFolder);
    if (!folder.isDir() || !folder.isWritable())
        tellConsole(QStringLiteral("the log folder %1 is missing or cannot be written yet: it is tried "
                                   "again every %2 s")
                        .arg(monitor.state().LogFolder)
                        .arg(kLogRetryMs / 1000));
    // Nobody can tick the Log box again: a failing folder is tried again a little later.
    console.notifier().onMessage = [&monitor](const QString& text) {
        if (text == CsvLog::failureMessage())
            QTimer::singleShot(kLogRetryMs, &monitor, [&monitor] { monitor.setLogChecked(true); });
    };

    // --record: what the bus carries, from the start; a file that cannot be made is a mistake.
    BusRecorder recorder(monitor, console.notifier());
    if (!options.recordFile.isEmpty() && !recorder.start(options.recordFile))
        return 2; // the recorder said why, on stderr

    std::unique_ptr<MqttTransport> transport;
    std::unique_ptr<MqttPublisher> publisher;
    const auto finish = [&](int status) {
        ServiceNotice::stopping();
        // The second under way goes into the log (and out to the broker) before the end,
        // even when the stop comes before that second's tick.
        monitor.TimerLog_Action();
        if (publisher)
            publisher->stop(kFarewellWaitMs);
        monitor.close();
        QCoreApplication::exit(status);
    };
    bool stopping = false;
    TerminationSignals termination;
    if (!termination.install())
        tellConsole(QStringLiteral("SIGINT and SIGTERM cannot be caught: stopping may lose the last second"));
    QObject::connect(&termination, &TerminationSignals::received, &app, [&](int signalNumber) {
        tellConsole(QStringLiteral("stopping (signal %1)").arg(signalNumber));
        stopping = true;
        finish(0);
    });

    // The device, chosen as a technician would in the window's list, and waited for as the
    // running logger waits for a pulled adapter: a service may start before its adapter is ready.
    FirstConnection firstConnection(monitor,
                                    [&options](const QStringList& rows) { return chosenRow(options, rows); });
    console.notifier().mute = [&firstConnection](const QString& text) {
        return firstConnection.isWaiting() && text == PortSelection::kOpenFailedMessage;
    };
    const QString wanted = options.demo                 ? QStringLiteral("the demonstration")
                           : options.portPath.isEmpty() ? options.deviceMatch
                                                        : options.portPath;
    QObject::connect(&firstConnection, &FirstConnection::waiting, &app,
                     [&](FirstConnection::Reason reason, const QStringList& rows) {
                         QString text;
                         if (reason == FirstConnection::Reason::CannotOpen)
                             text = QStringLiteral("%1 cannot be opened (held by another program, or not "
                                                   "allowed): trying again every second")
                                        .arg(wanted);
                         else if (!options.portPath.isEmpty())
                             text = QStringLiteral("%1 is not there: waiting for it").arg(wanted);
                         else
                             text = QStringLiteral("no serial device name contains \"%1\" (present: %2): "
                                                   "waiting for it")
                                        .arg(wanted, rows.isEmpty() ? QStringLiteral("none")
                                                                    : rows.join(QStringLiteral(", ")));
                         tellConsole(text);
                         ServiceNotice::status(text);
                     });
    QString deviceName;
    QEventLoop untilConnected;
    QObject::connect(&firstConnection, &FirstConnection::connected, &app, [&](const QString& name) {
        deviceName = name;
        untilConnected.quit();
    });
    // Ready from here on for the service manager: waiting for the adapter is part of the service.
    ServiceNotice::ready(QStringLiteral("looking for %1").arg(wanted));
    firstConnection.start();
    if (deviceName.isEmpty()) {
        const int status = untilConnected.exec();
        if (stopping)
            return status; // stopped while waiting
    }
    console.notifier().mute = nullptr;
    const QString reading =
        QStringLiteral("reading %1, logging to %2").arg(deviceName, monitor.state().LogFolder);
    tellConsole(reading);
    ServiceNotice::status(reading);

    // Publishing.
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

    // The link's events on stderr too (the journal beside the log has them all): a lost adapter
    // is reopened by the monitor once a second until it is back. Only after a burst of serial
    // errors does the monitor give up and disconnect; the logger then leaves with status 1, for
    // the service manager to start it afresh.
    QObject::connect(&monitor, &Monitor::eventOccurred, &app, [&](const MonitorEvent& event) {
        using K = MonitorEvent::Kind;
        if (event.kind == K::ConnectionLost || event.kind == K::Reconnected || event.kind == K::Disconnected)
            tellConsole(MonitorEvent::name(event.kind) + QStringLiteral(": ") + event.detail);
        if (event.kind == K::Disconnected && !stopping) {
            stopping = true;
            finish(1);
        }
    });

    return app.exec();
}
