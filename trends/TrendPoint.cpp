#include "trends/TrendPoint.h"

#include <QCoreApplication>

namespace {

// Names and units in the order of TrendChannel, marked for the windows' translation; the
// exported CSV keeps them as they are here.
constexpr const char* kNames[kTrendChannelCount] = {
    QT_TRANSLATE_NOOP("TrendChannel", "Input voltage"),
    QT_TRANSLATE_NOOP("TrendChannel", "Output voltage"),
    QT_TRANSLATE_NOOP("TrendChannel", "Output current"),
    QT_TRANSLATE_NOOP("TrendChannel", "Output power"),
    QT_TRANSLATE_NOOP("TrendChannel", "Converter temperature"),
    QT_TRANSLATE_NOOP("TrendChannel", "Speed"),
    QT_TRANSLATE_NOOP("TrendChannel", "Oil pressure")};
constexpr const char* kUnits[kTrendChannelCount] = {
    QT_TRANSLATE_NOOP("TrendChannel", "V"),  QT_TRANSLATE_NOOP("TrendChannel", "V"),
    QT_TRANSLATE_NOOP("TrendChannel", "A"),  QT_TRANSLATE_NOOP("TrendChannel", "W"),
    QT_TRANSLATE_NOOP("TrendChannel", "°C"), QT_TRANSLATE_NOOP("TrendChannel", "rpm"),
    QT_TRANSLATE_NOOP("TrendChannel", "bar")};

} // namespace

QString trendChannelName(TrendChannel channel) {
    return QString::fromUtf8(kNames[static_cast<int>(channel)]);
}

QString trendChannelUnit(TrendChannel channel) {
    return QString::fromUtf8(kUnits[static_cast<int>(channel)]);
}

QString trendChannelCaption(TrendChannel channel) {
    return QCoreApplication::translate("TrendChannel", kNames[static_cast<int>(channel)]);
}

QString trendChannelUnitCaption(TrendChannel channel) {
    return QCoreApplication::translate("TrendChannel", kUnits[static_cast<int>(channel)]);
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
