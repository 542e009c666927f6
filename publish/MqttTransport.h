#pragma once

#include "publish/BrokerUrl.h"
#include "publish/MqttMessage.h"

#include <QObject>
#include <QString>
#include <QStringList>

// What a transport needs to reach the broker.
struct MqttConnection {
    BrokerUrl broker;
    QString password; // read from the password file; empty for none
    QString caFile;   // certificate authorities for mqtts://; empty: the system's own
    QString certFile; // client certificate and its key, for brokers that ask for one
    QString keyFile;
    QString clientId;
    MqttMessage will;          // published by the broker when the connection dies without a goodbye
    QStringList subscriptions; // subscribed again on every connection
};

// How messages travel to the broker. The real one runs on libmosquitto (mqtt/), tests use a
// double. It reconnects on its own, with a growing delay, until stopped; its signals arrive
// on the thread the transport lives in, so the publisher never locks anything.
class MqttTransport : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~MqttTransport() override = default;

    // Starts connecting, in the background; returns at once. A set-up that cannot work (no
    // client, unusable TLS settings) gives its reason, and nothing starts.
    virtual QString start(const MqttConnection& connection) = 0;
    // Hands a message over. False when it cannot take it now (not connected, or too much still
    // on its way): the caller keeps the message for later.
    virtual bool publish(const MqttMessage& message) = 0;
    // Sends farewell, when connected, waits at most timeoutMs for the broker to take it, then
    // disconnects cleanly (so the last will is not published) and stops reconnecting.
    virtual void stop(const MqttMessage& farewell, int timeoutMs) = 0;

signals:
    // The broker accepted the connection (first time or after a reconnection).
    void connected();
    // The connection ended or could not be made; the transport tries again by itself.
    // refused: the broker answered and said no (wrong user or password, not authorised).
    void connectionFailed(const QString& reason, bool refused);
    // The set-up cannot work and no retry will mend it (certificate or key files that TLS
    // cannot use): the transport has stopped trying.
    void setupFailed(const QString& reason);
    // A message on one of the subscriptions.
    void messageReceived(const QString& topic, const QByteArray& payload);
};
