// velmora-logger: the unattended logger. It reads the bus as the window does, with the same
// monitor, writes the same CSV log and, with --mqtt, publishes each second to a broker. It
// never sends a command to the HPU.
#include "ConsolePlatform.h"
#include "LoggerOptions.h"
#include "ServiceNotice.h"
#include "TerminationSignals.h"

#include "core/EnergyMeter.h"
#include "core/Version.h"
#include "datalog/CsvLog.h"
#include "datalog/LogFolderSetting.h"
#include "monitor/BusRecorder.h"
#include "monitor/FirstConnection.h"
#include "monitor/Monitor.h"
#include "publish/MqttClientId.h"
#include "publish/MqttId.h"
#include "publish/MqttPublisher.h"
#include "sim/DemoDevice.h"

#ifdef VELMORA_WITH_MQTT
#include "mqtt/MosquittoTransport.h"
#endif

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QSysInfo>
#include <QTimer>

#include <memory>
#include <optional>

namespace {

constexpr int kLogRetryMs = 10000;    // a log folder that failed is tried again after this
constexpr int kFarewellWaitMs = 2000; // for the broker to take "offline" when stopping
constexpr int kRemovalWaitMs = 15000; // for the broker to take the removal of the discovery
// An adapter open but silent this long after bytes were flowing is reopened: nobody is there
// to press Disconnect and Connect.
constexpr qint64 kSilentAdapterMs = 10000;

// The place of the device the options name among the devices present; -1 when none is there (yet).
int chosenRow(const LoggerOptions& options, const QStringList& devices) {
    if (options.demo)
        return int(devices.size()) - 1; // the demonstration adds its device last
    if (!options.portPath.isEmpty())
        return int(devices.lastIndexOf(options.portPath)); // listed while the path leads somewhere
    for (int i = 0; i < devices.size(); ++i)
        if (devices[i].contains(options.deviceMatch, Qt::CaseInsensitive))
            return i;
    return -1;
}

// The adapter's name under /dev/serial/by-id, which names its maker, model and serial number,
// whatever ttyUSB number the system gave it this time; empty when there is none (pseudo-terminals,
// the demo, macOS).
QString byIdNameOf(const QString& deviceName) {
    const QString path =
        deviceName.startsWith(QLatin1Char('/')) ? deviceName : QStringLiteral("/dev/") + deviceName;
    const QString byId = QStringLiteral("/dev/serial/by-id");
    if (QFileInfo(path).absolutePath() == byId)
        return QFileInfo(path).fileName();
    const QString target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty())
        return QString();
    const QDir folder(byId);
    for (const QString& name : folder.entryList(QDir::System | QDir::Files | QDir::NoDotAndDotDot))
        if (QFileInfo(folder.filePath(name)).canonicalFilePath() == target)
            return name;
    return QString();
}

// Each problem of the energy total is told once, until it changes.
class EnergyMessages {
public:
    void tell(const QString& problem) {
        if (!problem.isEmpty() && problem != last_)
            tellConsole(problem);
        last_ = problem;
    }

private:
    QString last_;
};

// The names the installation is published under.
PublishingNames publishingNames(const LoggerOptions& options, const QString& deviceName,
                                const QString& installationKey) {
    PublishingNames names;
    names.id = options.mqttId.isEmpty() ? MqttId::fromDeviceName(deviceName) : options.mqttId;
    names.stableKey = installationKey;
    names.topicRoot = options.mqttTopicRoot;
    names.discoveryPrefix = options.discoveryPrefix;
    names.discovery = options.discovery;
    names.stateIntervalSeconds = options.mqttIntervalSeconds;
    return names;
}

MqttConnection mqttConnection(const LoggerOptions& options, const QString& mqttId) {
    MqttConnection connection;
    connection.broker = options.broker;
    connection.password = options.mqttPassword;
    connection.caFile = options.mqttCaFile;
    connection.certFile = options.mqttCertFile;
    connection.keyFile = options.mqttKeyFile;
    connection.clientId = options.mqttClientId.isEmpty()
                              ? MqttClientId::defaultFor(QSysInfo::machineHostName(), mqttId)
                              : options.mqttClientId;
    return connection;
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
    monitor.setSilentAdapterReopened(kSilentAdapterMs);
    monitor.open();
    // Alive for the service manager's watchdog while the log tick runs, and only then.
    QObject::connect(&monitor.TimerLog(), &Timer::timeout, &app, [] { ServiceNotice::alive(); });

    // Thresholds as the window saved them; the log folder from the command line.
    if (!options.alarmSettings.isEmpty())
        monitor.readAlarmsFile(options.alarmSettings);
    monitor.setLogFolder(!options.logFolder.isEmpty()
                             ? options.logFolder
                             : LogFolderSetting(platform.resources, platform.userFolders).defaultFolder());
    if (monitor.logFolder().isEmpty()) {
        tellConsole(QStringLiteral("no Documents or home folder for the log: name one with --log-folder"));
        return 2;
    }
    const QFileInfo folder(monitor.logFolder());
    if (!folder.isDir() || !folder.isWritable())
        tellConsole(QStringLiteral("the log folder %1 is missing or cannot be written yet: it is tried "
                                   "again every %2 s")
                        .arg(monitor.logFolder())
                        .arg(kLogRetryMs / 1000));
#ifdef VELMORA_WITH_MQTT
    // --mqtt-remove-discovery: the broker forgets the installation's configurations, and that is all.
    // The installation is named by the device as it is listed now: nothing is read from it.
    if (options.removeDiscovery) {
        const QStringList devices = monitor.devices();
        const int row = chosenRow(options, devices);
        const QString deviceName = row >= 0 ? devices[row] : options.portPath;
        if (deviceName.isEmpty()) {
            tellConsole(QStringLiteral("--mqtt-remove-discovery: no serial device name contains \"%1\"; present: %2")
                            .arg(options.deviceMatch,
                                 devices.isEmpty() ? QStringLiteral("none") : devices.join(QStringLiteral(", "))));
            return 2;
        }
        const QString installationKey = MqttId::stableKey(deviceName, byIdNameOf(deviceName));
        const PublishingNames names = publishingNames(options, deviceName, installationKey);
        MosquittoTransport transport;
        MqttPublisher remover(transport, PublishedMessages(names));
        const QString setup = remover.startRemoval(mqttConnection(options, names.id));
        if (!setup.isEmpty()) {
            tellConsole(QStringLiteral("MQTT: ") + setup);
            return 1;
        }
        QObject::connect(&remover, &MqttPublisher::setupFailed, &app, [](const QString& reason) {
            tellConsole(QStringLiteral("MQTT: ") + reason);
            QCoreApplication::exit(1);
        });
        QObject::connect(&remover, &MqttPublisher::connectionFailed, &app,
                         [](const QString& reason) { tellConsole(QStringLiteral("MQTT: ") + reason); });
        QObject::connect(&remover, &MqttPublisher::discoveryRemoved, &app, [&] {
            remover.stop(kFarewellWaitMs);
            tellConsole(QStringLiteral("MQTT: the discovery of %1 is removed from %2")
                            .arg(installationKey, options.broker.display()));
            QCoreApplication::exit(0);
        });
        QTimer::singleShot(kRemovalWaitMs, &app, [&] {
            tellConsole(QStringLiteral("MQTT: %1 did not take the removal within %2 s")
                            .arg(options.broker.display())
                            .arg(kRemovalWaitMs / 1000));
            QCoreApplication::exit(1);
        });
        const int status = app.exec();
        remover.stop(kFarewellWaitMs);
        return status;
    }
#endif

    // Nobody can tick the Log box again: a failing folder is tried again a little later.
    QTimer logRetry;
    logRetry.setSingleShot(true);
    logRetry.setInterval(kLogRetryMs);
    QObject::connect(&logRetry, &QTimer::timeout, &monitor, [&monitor] { monitor.setLogChecked(true); });
    // The last failure of the log, for the health: a log is writing again once a retry has
    // passed without a new failure, not merely because the box was ticked again for the retry.
    QString logProblem;
    qint64 lastLogFailureMs = -1;
    QObject::connect(&monitor, &Monitor::eventOccurred, &app, [&](const MonitorEvent& event) {
        if (event.kind != MonitorEvent::Kind::LogWriteFailed)
            return;
        logProblem = CsvLog::failureMessage() + QStringLiteral(": ") + event.detail;
        lastLogFailureMs = platform.clock.elapsedMs();
        if (!logRetry.isActive())
            logRetry.start();
    });

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

    std::unique_ptr<EnergyMeter> energy;
    EnergyMessages energyMessages;
    QTimer healthTimer;
    std::unique_ptr<MqttTransport> transport;
    std::unique_ptr<MqttPublisher> publisher;
    const auto finish = [&](int status) {
        ServiceNotice::stopping();
        // The second under way goes into the log (and out to the broker) before the end,
        // even when the stop comes before that second's tick.
        monitor.TimerLog_Action();
        healthTimer.stop();
        if (energy)
            energyMessages.tell(energy->save());
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
                                    [&options](const QStringList& devices) { return chosenRow(options, devices); });
    const QString wanted = options.demo                 ? QStringLiteral("the demonstration")
                           : options.portPath.isEmpty() ? options.deviceMatch
                                                        : options.portPath;
    QObject::connect(&firstConnection, &FirstConnection::waiting, &app,
                     [&](FirstConnection::Reason reason, const QStringList& devices) {
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
                                        .arg(wanted, devices.isEmpty() ? QStringLiteral("none")
                                                                       : devices.join(QStringLiteral(", ")));
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
    const QString reading = QStringLiteral("reading %1, logging to %2").arg(deviceName, monitor.logFolder());
    tellConsole(reading);
    ServiceNotice::status(reading);

    // The energy produced, beside the logs, under the adapter's stable name.
    const QString installationKey = MqttId::stableKey(deviceName, byIdNameOf(deviceName));
    energy = std::make_unique<EnergyMeter>(
        QDir(monitor.logFolder()).filePath(EnergyMeter::fileNameFor(installationKey)));
    energyMessages.tell(energy->load());
    QObject::connect(&monitor, &Monitor::secondSampled, &app, [&](const SecondSample& sample) {
        energyMessages.tell(energy->addSecond(sample.outputPower));
    });

    // Publishing.
    const auto health = [&] {
        LoggerHealth h;
        h.time = platform.wallClock.now();
        if (const auto& step = monitor.lastClockStep())
            h.lastClockStep = LoggerHealth::ClockStep{step->expected, step->shown};
        const bool recentFailure =
            lastLogFailureMs >= 0 && platform.clock.elapsedMs() - lastLogFailureMs < kLogRetryMs + 5000;
        h.logWriting = monitor.isLogChecked() && !recentFailure;
        if (h.logWriting)
            logProblem.clear();
        h.logProblem = logProblem;
        h.adapterConnected = monitor.isConnected() && !monitor.isReconnecting();
        const BusHealth::Figures& figures = monitor.busHealth().figures();
        h.converterFramesPerSecond = figures.converterFramesPerSecond;
        h.checksumErrors = figures.totals.checksumErrors;
        h.converterSilentSeconds = figures.converterSilentSeconds;
        h.hpuSilentSeconds = figures.hpuSilentSeconds;
        return h;
    };
#ifdef VELMORA_WITH_MQTT
    if (options.mqtt) {
        const PublishingNames names = publishingNames(options, deviceName, installationKey);
        transport = std::make_unique<MosquittoTransport>();
        publisher = std::make_unique<MqttPublisher>(*transport, PublishedMessages(names));
        const QString broker = options.broker.display();
        const QString stateTopic = publisher->messages().stateTopic();
        QObject::connect(publisher.get(), &MqttPublisher::connected, [broker, stateTopic] {
            tellConsole(QStringLiteral("MQTT: connected to %1, publishing %2").arg(broker, stateTopic));
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
                const QString detail =
                    QStringLiteral("%1 seconds not published while %2 was away; the log has them")
                        .arg(count)
                        .arg(broker);
                tellConsole(QStringLiteral("MQTT: ") + detail);
                monitor.recordEvent(MonitorEvent::Kind::StatesDropped, detail);
            });
        QObject::connect(&monitor, &Monitor::secondSampled, publisher.get(), [&](const SecondSample& sample) {
            publisher->publishSample(sample, energy->totalKwh());
        });
        QObject::connect(&healthTimer, &QTimer::timeout, publisher.get(),
                         [&] { publisher->publishHealth(health()); });
        healthTimer.start(PublishedMessages::kHealthPeriodSeconds * 1000);
        // TLS that cannot work with the files given: no retry mends it, the service manager is told.
        QObject::connect(publisher.get(), &MqttPublisher::setupFailed, &app, [&](const QString& reason) {
            tellConsole(QStringLiteral("MQTT: %1: %2").arg(options.broker.display(), reason));
            if (!stopping) {
                stopping = true;
                finish(1);
            }
        });
        const QString setup = publisher->start(mqttConnection(options, names.id));
        if (!setup.isEmpty()) {
            tellConsole(QStringLiteral("MQTT: %1: %2").arg(broker, setup));
            monitor.close();
            return 1;
        }
    }
#endif

    // The link's events on stderr too (the journal beside the log has them all): a lost adapter
    // is reopened by the monitor once a second until it is back. Only after a burst of serial
    // errors does the monitor give up and disconnect; the logger then leaves with status 1, for
    // the service manager to start it afresh.
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

    return app.exec();
}
