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

// The key of Home Assistant's unique ids and of the discovery topics: the same adapter keeps it
// when the system names it ttyUSB1 instead of ttyUSB0 after a replug, and when the user renames
// the installation's topic id. byIdName is the adapter's name under /dev/serial/by-id (maker,
// model and serial number: "usb-FTDI_FT232R_USB_UART_A10K1234-if00-port0"), empty when the
// system has none; then the key is taken from the device name. A by-id path given as the
// device gives the same key as its /dev/ttyUSBn.
QString stableKey(const QString& deviceName, const QString& byIdName);

// The root of the topics, or the discovery prefix: one or more topic levels of letters, digits,
// "_", "-" and ".", joined by "/" (no wildcard, no empty level, not starting with "$").
bool isValidTopicRoot(const QString& root);

} // namespace MqttId
