#include "publish/PublishedValues.h"

#include <cmath>

namespace {

// Rounded to the decimals the CSV log shows, so both say the same.
QJsonValue number(const std::optional<double>& value, int decimals) {
    if (!value || !std::isfinite(*value))
        return QJsonValue(QJsonValue::Null);
    const double scale = std::pow(10.0, decimals);
    return std::round(*value * scale) / scale;
}

QJsonValue text(const QString& value) {
    return value.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(value);
}

} // namespace

const QVector<PublishedValue>& publishedValues() {
    using C = PublishedValue::Component;
    static const QVector<PublishedValue> table = {
        {"input_voltage", "Input voltage", C::Sensor, "V", "voltage", "",
         [](const SecondSample& s) { return number(s.inputVoltage, 3); }},
        {"output_voltage", "Output voltage", C::Sensor, "V", "voltage", "",
         [](const SecondSample& s) { return number(s.outputVoltage, 3); }},
        {"output_current", "Output current", C::Sensor, "A", "current", "",
         [](const SecondSample& s) { return number(s.outputCurrent, 3); }},
        {"output_power", "Output power", C::Sensor, "W", "power", "",
         [](const SecondSample& s) { return number(s.outputPower, 1); }},
        {"speed", "Speed", C::Sensor, "rpm", "", "mdi:rotate-right",
         [](const SecondSample& s) { return number(s.speed, 0); }},
        {"temperature", "Converter temperature", C::Sensor, "°C", "temperature", "",
         [](const SecondSample& s) { return number(s.temperature, 1); }},
        {"pressure", "HPU pressure", C::Sensor, "bar", "pressure", "",
         [](const SecondSample& s) { return number(s.pressure, 2); }},
        {"hpu_mode", "HPU mode", C::Sensor, "", "", "mdi:cog",
         [](const SecondSample& s) { return text(s.hpuMode); }},
        {"pitch", "Pitch correction", C::Sensor, "", "", "mdi:fan",
         [](const SecondSample& s) { return text(s.pitch); }},
        {"speed_alarm", "Speed alarm", C::BinarySensor, "", "problem", "",
         [](const SecondSample& s) { return QJsonValue(s.speedAlarm); }},
        {"input_voltage_alarm", "Input voltage alarm", C::BinarySensor, "", "problem", "",
         [](const SecondSample& s) { return QJsonValue(s.inputVoltageAlarm); }},
        {"temperature_alarm", "Temperature alarm", C::BinarySensor, "", "problem", "",
         [](const SecondSample& s) { return QJsonValue(s.temperatureAlarm); }},
    };
    return table;
}
