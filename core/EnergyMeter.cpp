#include "core/EnergyMeter.h"

#include "core/WholeFileWriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace {

const QByteArray kHeader = "velmora energy total";
constexpr double kWattSecondsPerKwh = 3.6e6;
constexpr qint64 kMaxFileBytes = 4096;

} // namespace

EnergyMeter::EnergyMeter(QString filePath)
    : path_(std::move(filePath)) {}

QString EnergyMeter::fileNameFor(const QString& installationKey) {
    return QStringLiteral("velmora-energy-%1.txt").arg(installationKey);
}

EnergyMeter::Reading EnergyMeter::read(const QString& path) {
    Reading r;
    QFile file(path);
    if (!file.exists())
        return r;
    r.present = true;
    if (!file.open(QIODevice::ReadOnly)) {
        r.problem = file.errorString();
        return r;
    }
    const QList<QByteArray> lines = file.read(kMaxFileBytes).split('\n');
    if (lines.isEmpty() || lines.first().trimmed() != kHeader) {
        r.problem = QStringLiteral("it is empty or not an energy total");
        return r;
    }
    for (const QByteArray& line : lines) {
        if (line.startsWith("kWh=")) {
            bool ok = false;
            const double kwh = line.mid(4).trimmed().toDouble(&ok);
            if (ok && std::isfinite(kwh) && kwh >= 0.0) {
                r.good = true;
                r.wattSeconds = kwh * kWattSecondsPerKwh;
            }
        } else if (line.startsWith("saved=")) {
            r.savedAt = QString::fromUtf8(line.mid(6).trimmed());
        }
    }
    if (!r.good)
        r.problem = QStringLiteral("it holds no total");
    return r;
}

QString EnergyMeter::write(const QString& path) const {
    const QByteArray text =
        kHeader + "\nkWh=" + QByteArray::number(wattSeconds_ / kWattSecondsPerKwh, 'f', 9) +
        "\nsaved=" + QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toUtf8() + "\n";
    const QString error = WholeFileWriter::writeFile(path, text);
    if (!error.isEmpty())
        return QStringLiteral("the energy total cannot be saved to %1: %2").arg(path, error);
    return QString();
}

QString EnergyMeter::load() {
    if (loaded_)
        return QString();
    const QString folder = QFileInfo(path_).absolutePath();
    if (!QFileInfo(folder).isDir())
        return QStringLiteral("the energy total waits for the folder %1").arg(folder);
    const double countedSinceStart = wattSeconds_;
    const Reading main = read(path_);
    QString message;
    double total = 0.0;
    if (main.good) {
        total = main.wattSeconds;
    } else {
        if (main.present) {
            // Unreadable for want of rights: left as it is, and tried again at the next save.
            if (QFileInfo(path_).isFile() && !QFileInfo(path_).isReadable())
                return QStringLiteral("the energy total in %1 cannot be read: %2").arg(path_, main.problem);
            QFile::remove(damagedPath());
            QFile::rename(path_, damagedPath());
            message = QStringLiteral("the energy total in %1 was damaged (%2; kept as %3)")
                          .arg(path_, main.problem, damagedPath());
        }
        const Reading copy = read(copyPath());
        if (copy.good) {
            total = copy.wattSeconds;
            message =
                (message.isEmpty() ? QStringLiteral("the energy total %1 is missing").arg(path_) : message) +
                QStringLiteral(": it goes on from its copy of %1, %2 kWh")
                    .arg(copy.savedAt.isEmpty() ? QStringLiteral("unknown time") : copy.savedAt)
                    .arg(copy.wattSeconds / kWattSecondsPerKwh, 0, 'f', 3);
        } else if (main.present) {
            message += QStringLiteral(" and has no good copy: the total starts again from 0 kWh");
        }
    }
    wattSeconds_ = total + countedSinceStart;
    loaded_ = true;
    const QString copyProblem = write(copyPath());
    if (!main.good || countedSinceStart > 0.0) {
        const QString saveProblem = save();
        if (message.isEmpty())
            message = saveProblem;
    }
    return message.isEmpty() ? copyProblem : message;
}

QString EnergyMeter::addSecond(std::optional<double> powerWatts) {
    if (powerWatts && std::isfinite(*powerWatts) && *powerWatts > 0.0)
        wattSeconds_ += *powerWatts;
    ++seconds_;
    QString problem;
    if (seconds_ % kSavePeriodSeconds == 0 && wattSeconds_ != savedWattSeconds_)
        problem = save();
    if (loaded_ && seconds_ % kCopyPeriodSeconds == 0 && problem.isEmpty())
        problem = write(copyPath());
    return problem;
}

QString EnergyMeter::save() {
    if (!loaded_)
        return load();
    const QString problem = write(path_);
    if (problem.isEmpty())
        savedWattSeconds_ = wattSeconds_;
    return problem;
}

std::optional<double> EnergyMeter::totalKwh() const {
    if (!loaded_)
        return std::nullopt;
    return wattSeconds_ / kWattSecondsPerKwh;
}
