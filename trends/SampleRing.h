#pragma once

#include "core/SecondSample.h"
#include "trends/TrendPoint.h"

#include <QObject>
#include <QVector>

// The last hour (or more) of the installation, one point a second, fed by the same tick as
// the CSV log. Bounded: once full, each new second replaces the oldest. It exists while
// the tool runs, so the trends window shows the past minutes as soon as it opens.
class SampleRing : public QObject {
    Q_OBJECT
public:
    static constexpr int kOneHour = 3600;

    explicit SampleRing(int capacity = kOneHour, QObject* parent = nullptr);

    int capacity() const { return points_.size(); }
    int size() const { return size_; }
    // Oldest first: at(0) is the oldest point kept, at(size() - 1) the newest.
    const TrendPoint& at(int index) const;
    // The points whose time lies in [from, to], oldest first.
    QVector<TrendPoint> between(qint64 from, qint64 to) const;

public slots:
    void append(const SecondSample& sample);
    void appendPoint(const TrendPoint& point);
    void clear();

signals:
    void appended();

private:
    QVector<TrendPoint> points_;
    int head_ = 0; // where the next point goes
    int size_ = 0;
};
