#include "datalog/CaptureWriter.h"

#include "core/ProgramClock.h"
#include "core/Timer.h"

#include <QFileInfo>

CaptureWriter::CaptureWriter(const ProgramClock& clock, TimerFactory& timers, QObject* parent)
    : QObject(parent)
    , clock_(clock)
    , flushTimer_(timers.create(QStringLiteral("CaptureFlush"), 1000, this)) {
    connect(flushTimer_, &Timer::timeout, this, &CaptureWriter::flush);
}

CaptureWriter::~CaptureWriter() {
    // Closing without a report: whoever listened may be gone already.
    if (isRecording()) {
        blockSignals(true);
        stop();
    }
}

QString CaptureWriter::limitMessage(const QString& path, qint64 limitBytes) {
    return QStringLiteral("The bus capture reached its size limit of %1 and stopped: %2")
        .arg(limitBytes >= (1 << 20) ? QStringLiteral("%1 MiB").arg(limitBytes >> 20)
                                     : QStringLiteral("%1 bytes").arg(limitBytes),
             QFileInfo(path).fileName());
}

QString CaptureWriter::failureMessage(const QString& path, const QString& reason) {
    return QStringLiteral("The bus capture could not be written and stopped: %1 (%2). Monitoring and "
                          "logging go on.")
        .arg(path, reason);
}

bool CaptureWriter::start(const QString& path, qint64 limitBytes) {
    if (isRecording())
        stop();
    error_.clear();
    pending_.clear();
    written_ = 0;
    limit_ = qMin(limitBytes, Capture::kMaxFileBytes);
    const QByteArray head = Capture::header() + '\n';
    if (limit_ < head.size()) {
        error_ = QStringLiteral("the size limit leaves no room for the capture");
        return false;
    }
    file_.setFileName(path);
    // Unbuffered: a refused write is seen at once and the file cut back to its whole lines.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
        error_ = file_.errorString();
        return false;
    }
    if (file_.write(head) != head.size()) {
        error_ = file_.errorString();
        file_.close();
        return false;
    }
    written_ = head.size();
    startUs_ = clock_.elapsedUs();
    flushTimer_->setMode(Timer::Repeating);
    return true;
}

void CaptureWriter::append(Capture::Direction direction, const QByteArray& bytes) {
    if (!isRecording() || bytes.isEmpty())
        return;
    const QByteArray line = Capture::formatLine({clock_.elapsedUs() - startUs_, direction, bytes});
    if (size() + line.size() > limit_) {
        const QString message = limitMessage(file_.fileName(), limit_);
        flush();
        if (isRecording())
            end(StopReason::LimitReached, message);
        return;
    }
    pending_.append(line);
}

void CaptureWriter::flush() {
    if (!isRecording())
        return;
    // A capture whose folder was removed would go on writing into a file nobody can reach.
    if (!QFileInfo::exists(file_.fileName())) {
        error_ = QStringLiteral("the file or its folder is gone");
        end(StopReason::WriteFailed, failureMessage(file_.fileName(), error_));
        return;
    }
    if (pending_.isEmpty())
        return;
    const qint64 n = file_.write(pending_);
    if (n != pending_.size()) {
        error_ = file_.errorString().isEmpty() ? QStringLiteral("the disk is full") : file_.errorString();
        file_.resize(written_); // only whole lines stay
        end(StopReason::WriteFailed, failureMessage(file_.fileName(), error_));
        return;
    }
    written_ += n;
    pending_.clear();
}

void CaptureWriter::stop() {
    if (!isRecording())
        return;
    flush();
    if (isRecording())
        end(StopReason::Requested, QString());
}

void CaptureWriter::end(StopReason reason, const QString& message) {
    flushTimer_->setMode(Timer::Off);
    pending_.clear();
    file_.close();
    emit stopped(reason, message);
}
