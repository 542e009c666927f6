#include "trends/SampleRing.h"

#include <algorithm>

SampleRing::SampleRing(int capacity, QObject* parent)
    : QObject(parent)
    , points_(std::max(1, capacity)) {}

const TrendPoint& SampleRing::at(int index) const {
    const int oldest = size_ < capacity() ? 0 : head_;
    return points_[(oldest + index) % capacity()];
}

QVector<TrendPoint> SampleRing::between(qint64 from, qint64 to) const {
    QVector<TrendPoint> result;
    // Wall-clock time may step back (a clock set by hand): scan rather than bisect.
    for (int i = 0; i < size_; ++i) {
        const TrendPoint& point = at(i);
        if (point.time >= from && point.time <= to)
            result.append(point);
    }
    return result;
}

void SampleRing::append(const SecondSample& sample) {
    appendPoint(TrendPoint::fromSample(sample));
}

void SampleRing::appendPoint(const TrendPoint& point) {
    points_[head_] = point;
    head_ = (head_ + 1) % capacity();
    size_ = std::min(size_ + 1, capacity());
    emit appended();
}

void SampleRing::clear() {
    head_ = 0;
    size_ = 0;
}
