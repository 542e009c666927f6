#pragma once

#include <QString>

// The client id the logger gives the broker. Two boards with the same client id throw each
// other off the broker at every connection, so the default names the host as well as the
// installation: "velmora-<hostname>-<id>".
namespace MqttClientId {

// Every MQTT 3.1.1 broker must take 1 to 23 characters; a longer name keeps its start and ends
// in a hash of the whole name, so that two long names that differ only at their end still differ.
constexpr int kMaxLength = 23;

QString defaultFor(const QString& hostName, const QString& id);

// A client id given by the user: 1 to 128 printable ASCII characters without spaces.
bool isValid(const QString& clientId);

} // namespace MqttClientId
