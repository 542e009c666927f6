#include "LoggerOptions.h"

#include "publish/MqttClientId.h"
#include "publish/MqttId.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Longer than any password a broker takes; a wrong file (a log, a device) is refused, not read whole.
constexpr qint64 kMaxPasswordFileBytes = 4096;

QString readPassword(const QString& path, QString& password) {
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("--mqtt-password-file: %1 does not exist").arg(path);
    if (!info.isFile() || info.size() > kMaxPasswordFileBytes)
        return QStringLiteral("--mqtt-password-file: %1 is not a small text file holding the password")
            .arg(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("--mqtt-password-file: %1 cannot be read (%2)").arg(path, file.errorString());
    // The first line; the line end that editors add is not part of the password.
    QByteArray line = file.readLine(kMaxPasswordFileBytes);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    if (line.isEmpty())
        return QStringLiteral("--mqtt-password-file: %1 is empty").arg(path);
    password = QString::fromUtf8(line);
    return QString();
}

QString readableFile(const QString& option, const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("%1: %2 does not exist").arg(option, path);
    if (!info.isFile() || !info.isReadable())
        return QStringLiteral("%1: %2 is not a readable file").arg(option, path);
    return QString();
}

} // namespace

QString parseLoggerOptions(const QStringList& arguments, const LoggerCapabilities& capabilities,
                           LoggerOptions& options) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Unattended logger of the hydro installation: reads the bus, writes the day's CSV log and, with "
        "--mqtt, publishes the values to an MQTT broker. It never sends a command to the HPU. "
        "Stop it with Ctrl+C or SIGTERM."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("The serial device to read, by path."),
                                  QStringLiteral("PATH"));
    const QCommandLineOption device(
        QStringLiteral("device"), QStringLiteral("The first listed serial device whose name contains TEXT."),
        QStringLiteral("TEXT"));
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Reads the simulated installation inside the program."));
    const QCommandLineOption logFolder(
        QStringLiteral("log-folder"),
        QStringLiteral("Folder of the CSV logs (default: the Documents folder)."), QStringLiteral("DIR"));
    const QCommandLineOption alarmSettings(
        QStringLiteral("alarm-settings"),
        QStringLiteral("Alarm thresholds: an Alarms_Settings.txt as the window saves it (default: the "
                       "window's defaults)."),
        QStringLiteral("FILE"));
    const QCommandLineOption record(QStringLiteral("record"),
                                    QStringLiteral("Records what the bus carries to FILE (capture format)."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption mqtt(QStringLiteral("mqtt"),
                                  QStringLiteral("Publishes to the broker at mqtt://[user@]host[:port] or "
                                                 "mqtts://[user@]host[:port]."),
                                  QStringLiteral("URL"));
    const QCommandLineOption passwordFile(QStringLiteral("mqtt-password-file"),
                                          QStringLiteral("File whose first line is the broker password."),
                                          QStringLiteral("FILE"));
    const QCommandLineOption caFile(
        QStringLiteral("mqtt-ca"),
        QStringLiteral("Certificate authorities for mqtts:// (default: the system's)."),
        QStringLiteral("FILE"));
    const QCommandLineOption mqttId(QStringLiteral("mqtt-id"),
                                    QStringLiteral("The installation's id in topics (default: from the "
                                                   "adapter's name)."),
                                    QStringLiteral("ID"));
    const QCommandLineOption certFile(
        QStringLiteral("mqtt-cert"),
        QStringLiteral("Client certificate for mqtts:// brokers that ask for one "
                       "(with --mqtt-key)."),
        QStringLiteral("FILE"));
    const QCommandLineOption keyFile(QStringLiteral("mqtt-key"),
                                     QStringLiteral("The private key of --mqtt-cert."),
                                     QStringLiteral("FILE"));
    const QCommandLineOption clientId(QStringLiteral("mqtt-client-id"),
                                      QStringLiteral("Client id given to the broker (default: "
                                                     "velmora-<hostname>-<id>, at most 23 characters)."),
                                      QStringLiteral("ID"));
    const QCommandLineOption interval(QStringLiteral("mqtt-interval"),
                                      QStringLiteral("Publishes the state every SECONDS (default 1)."),
                                      QStringLiteral("SECONDS"));
    const QCommandLineOption topicRoot(QStringLiteral("mqtt-topic"),
                                       QStringLiteral("Root of the topics (default velmora)."),
                                       QStringLiteral("ROOT"));
    const QCommandLineOption discoveryPrefix(
        QStringLiteral("discovery-prefix"),
        QStringLiteral("Home Assistant's discovery prefix (default homeassistant)."),
        QStringLiteral("PREFIX"));
    const QCommandLineOption noDiscovery(QStringLiteral("no-discovery"),
                                         QStringLiteral("Publishes no Home Assistant discovery."));
    const QCommandLineOption removeDiscovery(
        QStringLiteral("mqtt-remove-discovery"),
        QStringLiteral(
            "Removes the installation's retained Home Assistant discovery from the broker, and exits."));
    const QList<QCommandLineOption> mqttOptions{passwordFile,    caFile,      mqttId,         certFile,
                                                keyFile,         clientId,    interval,       topicRoot,
                                                discoveryPrefix, noDiscovery, removeDiscovery};
    parser.addOptions({port, device, demo, logFolder, alarmSettings, record, mqtt});
    parser.addOptions(mqttOptions);
    if (!parser.parse(arguments))
        return parser.errorText();
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    if (!parser.positionalArguments().isEmpty())
        return QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first());
    for (const QCommandLineOption& single :
         {port, device, logFolder, alarmSettings, record, mqtt, passwordFile, caFile, mqttId, certFile,
          keyFile, clientId, interval, topicRoot, discoveryPrefix})
        if (parser.values(single).size() > 1)
            return QStringLiteral("--%1 is given more than once").arg(single.names().first());

    // The device.
    const int sources = int(parser.isSet(port)) + int(parser.isSet(device)) + int(parser.isSet(demo));
    if (sources != 1)
        return QStringLiteral(
            "name the device to read with exactly one of --port PATH, --device TEXT or --demo");
    options.demo = parser.isSet(demo);
    options.portPath = parser.value(port);
    options.deviceMatch = parser.value(device);
    if (parser.isSet(port) && options.portPath.isEmpty())
        return QStringLiteral("--port needs the path of a serial device");
    if (parser.isSet(device) && options.deviceMatch.trimmed().isEmpty())
        return QStringLiteral("--device needs a part of a device name");

    // Files and folders.
    if (parser.isSet(logFolder)) {
        // A folder missing or not writable yet (a card not mounted, a state folder not made)
        // is waited for, as when it goes away later; only a file in its place is a mistake.
        const QFileInfo folder(parser.value(logFolder));
        if (folder.exists() && !folder.isDir())
            return QStringLiteral("--log-folder: %1 is not a folder").arg(parser.value(logFolder));
        options.logFolder = QDir::cleanPath(folder.absoluteFilePath());
    }
    if (parser.isSet(alarmSettings)) {
        const QString problem = readableFile(QStringLiteral("--alarm-settings"), parser.value(alarmSettings));
        if (!problem.isEmpty())
            return problem;
        options.alarmSettings = parser.value(alarmSettings);
    }
    if (parser.isSet(record)) {
        if (!capabilities.capture)
            return QStringLiteral("--record is not available yet in this version of velmora-logger");
        options.recordFile = parser.value(record);
    }

    // The broker.
    if (!parser.isSet(mqtt)) {
        for (const QCommandLineOption& needsBroker : mqttOptions)
            if (parser.isSet(needsBroker))
                return QStringLiteral("--%1 needs --mqtt").arg(needsBroker.names().first());
        return QString();
    }
    if (!capabilities.mqtt)
        return QStringLiteral("--mqtt is not available: this velmora-logger was built without libmosquitto");
    options.mqtt = true;
    const QString urlProblem = BrokerUrl::parse(parser.value(mqtt), options.broker);
    if (!urlProblem.isEmpty())
        return QStringLiteral("--mqtt: %1").arg(urlProblem);
    if (parser.isSet(passwordFile)) {
        if (options.broker.user.isEmpty())
            return QStringLiteral("--mqtt-password-file needs a user name in the broker address "
                                  "(mqtt://user@host)");
        const QString problem = readPassword(parser.value(passwordFile), options.mqttPassword);
        if (!problem.isEmpty())
            return problem;
    }
    if (parser.isSet(caFile)) {
        if (!options.broker.tls)
            return QStringLiteral("--mqtt-ca applies to mqtts:// addresses only");
        const QString problem = readableFile(QStringLiteral("--mqtt-ca"), parser.value(caFile));
        if (!problem.isEmpty())
            return problem;
        options.mqttCaFile = parser.value(caFile);
    }
    if (parser.isSet(mqttId)) {
        if (!MqttId::isValid(parser.value(mqttId)))
            return QStringLiteral("--mqtt-id takes 1 to 64 letters, digits, \"_\" and \"-\", not \"%1\"")
                .arg(parser.value(mqttId));
        options.mqttId = parser.value(mqttId);
    }
    if (parser.isSet(certFile) != parser.isSet(keyFile))
        return QStringLiteral("--mqtt-cert and --mqtt-key go together");
    if (parser.isSet(certFile)) {
        if (!options.broker.tls)
            return QStringLiteral("--mqtt-cert applies to mqtts:// addresses only");
        for (const QCommandLineOption& file : {certFile, keyFile}) {
            const QString problem =
                readableFile(QStringLiteral("--") + file.names().first(), parser.value(file));
            if (!problem.isEmpty())
                return problem;
        }
        options.mqttCertFile = parser.value(certFile);
        options.mqttKeyFile = parser.value(keyFile);
    }
    if (parser.isSet(clientId)) {
        if (!MqttClientId::isValid(parser.value(clientId)))
            return QStringLiteral(
                       "--mqtt-client-id takes 1 to 128 printable characters without spaces, not \"%1\"")
                .arg(parser.value(clientId));
        options.mqttClientId = parser.value(clientId);
    }
    if (parser.isSet(interval)) {
        bool ok = false;
        options.mqttIntervalSeconds = parser.value(interval).toInt(&ok);
        if (!ok || options.mqttIntervalSeconds < 1 || options.mqttIntervalSeconds > 3600)
            return QStringLiteral("--mqtt-interval takes whole seconds from 1 to 3600, not \"%1\"")
                .arg(parser.value(interval));
    }
    if (parser.isSet(topicRoot)) {
        if (!MqttId::isValidTopicRoot(parser.value(topicRoot)))
            return QStringLiteral(
                       "--mqtt-topic takes topic levels of letters, digits, \"_\", \"-\" and \".\" "
                       "joined by \"/\", not \"%1\"")
                .arg(parser.value(topicRoot));
        options.mqttTopicRoot = parser.value(topicRoot);
    }
    options.discovery = !parser.isSet(noDiscovery);
    if (parser.isSet(discoveryPrefix)) {
        if (!options.discovery)
            return QStringLiteral("--discovery-prefix and --no-discovery contradict each other");
        if (!MqttId::isValidTopicRoot(parser.value(discoveryPrefix)))
            return QStringLiteral(
                       "--discovery-prefix takes topic levels of letters, digits, \"_\", \"-\" and "
                       "\".\" joined by \"/\", not \"%1\"")
                .arg(parser.value(discoveryPrefix));
        options.discoveryPrefix = parser.value(discoveryPrefix);
    }
    options.removeDiscovery = parser.isSet(removeDiscovery);
    if (options.removeDiscovery && !options.discovery)
        return QStringLiteral("--mqtt-remove-discovery and --no-discovery contradict each other");
    return QString();
}
