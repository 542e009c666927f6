#pragma once

#include "core/SecondSample.h"

#include <QJsonValue>
#include <QVector>

// The one table that names what the installation publishes: each entry gives the key in the
// state message, the name shown in Home Assistant, its unit and device class, and how it is
// read from a second's sample. The state message and the discovery configurations are both
// built from it, so a value cannot be published without being announced, or the reverse.
struct PublishedValue {
    enum class Component { Sensor, BinarySensor };

    const char* key;         // JSON key in the state message, object id in discovery
    const char* name;        // entity name in Home Assistant
    Component component;     // sensor, or binary_sensor for the alarms
    const char* unit;        // unit_of_measurement, empty for none
    const char* deviceClass; // Home Assistant device class, empty for none
    const char* icon;        // mdi icon, empty for the device class's own
    // The value of a sample: a number rounded as the CSV log writes it, a text, a boolean, or
    // null when it is not known (device silent, value not decoded).
    QJsonValue (*read)(const SecondSample& sample);
};

const QVector<PublishedValue>& publishedValues();
