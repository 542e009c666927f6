#pragma once

#include "core/WorkerThread.h"
#include "trends/EnergyTally.h"

#include <QDate>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>

// What the logs of one adapter gave for a month.
struct ProductionMonth {
    QDate month; // its first day
    QString adapter;
    EnergyTally tally; // the days of the month's logs, and today's
    int logs = 0;      // the log files read
    int skippedLines = 0;
    QStringList refused; // a message for each log that could not be read
};
Q_DECLARE_METATYPE(ProductionMonth)

// Works out the energy made each day of a month from the CSV logs of one adapter in the log
// folder ("2026_03_14_LogOrvane_<adapter>.csv"), read with the trends' own parsing, on a
// worker thread: a month of logs is a hundred megabytes. Today's log is read too when today
// lies in another month, so today's total is always at hand. One month at a time; a new
// start, cancel() or the reader's end gives up the month under way, which then never reports.
class ProductionReader : public QObject {
    Q_OBJECT
public:
    explicit ProductionReader(QObject* parent = nullptr);
    ~ProductionReader() override;

    void start(const QString& folder, const QString& adapter, const QDate& month, const QDate& today);
    void cancel();
    bool isReading() const { return worker_.isBusy(); }

    // The same reading, done in the caller's thread.
    static ProductionMonth read(const QString& folder, const QString& adapter, const QDate& month,
                                const QDate& today, const std::atomic<bool>& cancelled);
    // The adapter's logs of the month, and today's, oldest first.
    static QStringList logsOf(const QString& folder, const QString& adapter, const QDate& month,
                              const QDate& today);

signals:
    void finished(const ProductionMonth& month);

private:
    WorkerThread worker_;
};
