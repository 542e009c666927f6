#include "trends/ProductionReader.h"

#include "trends/CsvLogReader.h"
#include "trends/LogFileName.h"

#include <QDir>

#include <memory>

ProductionReader::ProductionReader(QObject* parent)
    : QObject(parent)
    , worker_(this) {
    qRegisterMetaType<ProductionMonth>();
}

ProductionReader::~ProductionReader() {
    worker_.stop();
}

QStringList ProductionReader::logsOf(const QString& folder, const QString& adapter, const QDate& month,
                                     const QDate& today) {
    QStringList logs;
    if (adapter.isEmpty() || folder.isEmpty())
        return logs;
    const QDir dir(folder);
    QMap<QDate, QString> byDate;
    for (const QString& entry : dir.entryList({QStringLiteral("*_LogOrvane_*.csv")}, QDir::Files)) {
        const LogFileName name = LogFileName::parse(entry);
        if (!name.isValid() || name.adapter != adapter)
            continue;
        const bool inMonth = name.date.year() == month.year() && name.date.month() == month.month();
        if (inMonth || name.date == today)
            byDate.insert(name.date, dir.filePath(entry));
    }
    return byDate.values();
}

ProductionMonth ProductionReader::read(const QString& folder, const QString& adapter, const QDate& month,
                                       const QDate& today, const std::atomic<bool>& cancelled) {
    ProductionMonth result;
    result.month = QDate(month.year(), month.month(), 1);
    result.adapter = adapter;
    for (const QString& path : logsOf(folder, adapter, month, today)) {
        if (cancelled)
            break;
        int skipped = 0;
        const QString error = CsvLogReader::readPoints(
            path, cancelled,
            [&](QVector<TrendPoint>&& points) {
                for (const TrendPoint& point : points)
                    result.tally.add(point);
            },
            &skipped);
        ++result.logs;
        result.skippedLines += skipped;
        if (!error.isEmpty())
            result.refused.append(error);
    }
    return result;
}

void ProductionReader::start(const QString& folder, const QString& adapter, const QDate& month,
                             const QDate& today) {
    worker_.start([this, folder, adapter, month, today](const std::atomic<bool>& cancelled,
                                                        const WorkerThread::Post& post) {
        auto result = std::make_shared<ProductionMonth>(read(folder, adapter, month, today, cancelled));
        if (cancelled)
            return;
        post([this, result] {
            worker_.stop();
            emit finished(*result);
        });
    });
}

void ProductionReader::cancel() {
    worker_.stop();
}
