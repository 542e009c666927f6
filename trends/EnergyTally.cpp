#include "trends/EnergyTally.h"

#include "core/WholeFileWriter.h"

#include <QDateTime>

#include <algorithm>

namespace {

qint64 midnightMs(const QDate& date) {
    return date.startOfDay().toMSecsSinceEpoch();
}

} // namespace

EnergyTally::Day& EnergyTally::dayOf(qint64 timeMs, int& second) {
    if (!lastDate_.isValid() || timeMs < lastStartMs_ || timeMs >= lastEndMs_) {
        lastDate_ = QDateTime::fromMSecsSinceEpoch(timeMs).date();
        lastStartMs_ = midnightMs(lastDate_);
        lastEndMs_ = midnightMs(lastDate_.addDays(1));
    }
    auto it = days_.find(lastDate_);
    if (it == days_.end()) {
        Day day;
        day.startMs = lastStartMs_;
        day.counted.assign(std::size_t((lastEndMs_ - lastStartMs_ + 999) / 1000), false);
        it = days_.insert(lastDate_, std::move(day));
    }
    second = int((timeMs - lastStartMs_) / 1000);
    return it.value();
}

bool EnergyTally::addAt(Day& day, int second, double watts) {
    if (second < 0 || std::size_t(second) >= day.counted.size() || day.counted[std::size_t(second)])
        return false;
    day.counted[std::size_t(second)] = true;
    day.energy.joules += std::max(0.0, watts);
    ++day.energy.knownSeconds;
    return true;
}

bool EnergyTally::add(const TrendPoint& point) {
    if (!point.known(TrendChannel::OutputPower))
        return false;
    int second = 0;
    Day& day = dayOf(point.time, second);
    return addAt(day, second, double(point.value(TrendChannel::OutputPower)));
}

std::optional<DayEnergy> EnergyTally::day(const QDate& date) const {
    const auto it = days_.constFind(date);
    if (it == days_.cend() || it->energy.knownSeconds == 0)
        return std::nullopt;
    return it->energy;
}

std::optional<DayEnergy> EnergyTally::total(const QDate& first, const QDate& last) const {
    std::optional<DayEnergy> sum;
    for (auto it = days_.lowerBound(first); it != days_.cend() && it.key() <= last; ++it) {
        if (it->energy.knownSeconds == 0)
            continue;
        if (!sum)
            sum = DayEnergy{};
        sum->joules += it->energy.joules;
        sum->knownSeconds += it->energy.knownSeconds;
    }
    return sum;
}

bool writeDailyEnergyCsv(const QString& path, const EnergyTally& tally, const QDate& month) {
    QByteArray text = "date;energy [kWh];measured [s]\n";
    const QDate first(month.year(), month.month(), 1);
    for (QDate date = first; date.month() == first.month(); date = date.addDays(1)) {
        const std::optional<DayEnergy> energy = tally.day(date);
        text += date.toString(Qt::ISODate).toLatin1() + ';';
        if (energy)
            text += QByteArray::number(energy->kWh(), 'f', 4);
        text += ';' + QByteArray::number(energy ? energy->knownSeconds : 0) + '\n';
    }
    return WholeFileWriter::writeFile(path, text).isEmpty();
}
