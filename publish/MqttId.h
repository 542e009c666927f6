#pragma once

#include <QString>

// The <id> of an installation in its topics and in Home Assistant's unique ids.
namespace MqttId {

// From the adapter's name: the last part of a path ("/dev/ttyUSB0" gives "ttyusb0", "Demo
// installation" gives "demo_installation"), lower case, anything but letters, digits, "_" and
// "-" turned into "_". Never empty.
QString fromDeviceName(const QString& deviceName);

// An id given by the user: 1 to 64 of letters, digits, "_" and "-", so that it is one topic
// level and a valid Home Assistant object id (no "/", "+", "#" or spaces).
bool isValid(const QString& id);

} // namespace MqttId
