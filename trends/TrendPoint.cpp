#include "trends/TrendPoint.h"

QString trendChannelName(TrendChannel channel) {
    switch (channel) {
    case TrendChannel::InputVoltage:
        return QStringLiteral("Input voltage");
    case TrendChannel::OutputVoltage:
        return QStringLiteral("Output voltage");
    case TrendChannel::OutputCurrent:
        return QStringLiteral("Output current");
    case TrendChannel::OutputPower:
        return QStringLiteral("Output power");
    case TrendChannel::Temperature:
        return QStringLiteral("Converter temperature");
    case TrendChannel::Speed:
        return QStringLiteral("Speed");
    case TrendChannel::Pressure:
        return QStringLiteral("Oil pressure");
    }
    return QString();
}

QString trendChannelUnit(TrendChannel channel) {
    switch (channel) {
    case TrendChannel::InputVoltage:
    case TrendChannel::OutputVoltage:
        return QStringLiteral("V");
    case TrendChannel::OutputCurrent:
        return QStringLiteral("A");
    case TrendChannel::OutputPower:
        return QStringLiteral("W");
    case TrendChannel::Temperature:
        return QStringLiteral("°C");
    case TrendChannel::Speed:
        return QStringLiteral("rpm");
    case TrendChannel::Pressure:
        return QStringLiteral("bar");
    }
    return QString();
}

TrendPoint TrendPoint::fromSample(const SecondSample& sample) {
    TrendPoint point;
    point.time = sample.time.toMSecsSinceEpoch();
    point.set(TrendChannel::InputVoltage, sample.inputVoltage);
    point.set(TrendChannel::OutputVoltage, sample.outputVoltage);
    point.set(TrendChannel::OutputCurrent, sample.outputCurrent);
    point.set(TrendChannel::OutputPower, sample.outputPower);
    point.set(TrendChannel::Temperature, sample.temperature);
    point.set(TrendChannel::Speed, sample.speed);
    point.set(TrendChannel::Pressure, sample.pressure);
    return point;
}
