#pragma once

#include "publish/BrokerUrl.h"

#include <QString>
#include <QStringList>

class SerialDeviceList;

// What one run of velmora-logger should do, from its command line, checked before anything
// starts: every mistake gives a message and exit status 2.
struct LoggerOptions {
    // The device: exactly one of these.
    QString portPath;    // --port PATH
    QString deviceMatch; // --device TEXT: the first listed device whose name contains it
    bool demo = false;   // --demo: the simulated installation inside the program

    QString logFolder;     // --log-folder DIR (default: the Documents folder)
    QString alarmSettings; // --alarm-settings FILE: thresholds as the window saves them
    QString recordFile;    // --record FILE

    bool mqtt = false; // --mqtt URL
    BrokerUrl broker;
    QString mqttPassword; // read from --mqtt-password-file
    QString mqttCaFile;   // --mqtt-ca FILE
    QString mqttId;       // --mqtt-id ID; empty: from the adapter's name
    QString mqttCertFile; // --mqtt-cert FILE and --mqtt-key FILE: a client certificate
    QString mqttKeyFile;
    QString mqttClientId;                              // --mqtt-client-id ID; empty: velmora-<hostname>-<id>
    int mqttIntervalSeconds = 1;                       // --mqtt-interval SECONDS
    QString mqttTopicRoot = QStringLiteral("velmora"); // --mqtt-topic ROOT
    QString discoveryPrefix = QStringLiteral("homeassistant"); // --discovery-prefix PREFIX
    bool discovery = true;                                     // --no-discovery
    bool removeDiscovery = false; // --mqtt-remove-discovery: clear the configurations and exit
};

struct LoggerCapabilities {
    bool mqtt = false;    // built with libmosquitto
    bool capture = false; // --record available
};

// Parses and checks the arguments (program name first). On --help or --version the parser
// prints and exits with status 0. Returns an error text for the user, empty when fine.
QString parseLoggerOptions(const QStringList& arguments, const LoggerCapabilities& capabilities,
                           LoggerOptions& options);
