#include "datalog/CaptureWriter.h"

#include "core/ProgramClock.h"
#include "core/Timer.h"
#include "core/WholeLineFile.h"

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

namespace {

const char* const kContext = "CaptureWriter";
constexpr int kLastNumber = 9999; // of the captures kept beside one another
// Reasons of our own; others come from the file system.
const char* const kNoRoom =
    QT_TRANSLATE_NOOP("CaptureWriter", "the size limit leaves no room for the capture");
const char* const kGone = QT_TRANSLATE_NOOP("CaptureWriter", "the file or its folder is gone");
const char* const kDiskFull = QT_TRANSLATE_NOOP("CaptureWriter", "the disk is full");

} // namespace

QString CaptureWriter::limitMessage(const QString& path, qint64 limitBytes, Wording wording) {
    return worded(wording, kContext,
                  QT_TRANSLATE_NOOP("CaptureWriter",
                                    "The bus capture reached its size limit of %1 and stopped: %2"))
        .arg(limitBytes >= (1 << 20)
                 ? worded(wording, kContext, QT_TRANSLATE_NOOP("CaptureWriter", "%1 MiB"))
                       .arg(limitBytes >> 20)
                 : worded(wording, kContext, QT_TRANSLATE_NOOP("CaptureWriter", "%1 bytes")).arg(limitBytes),
             QFileInfo(path).fileName());
}

QString CaptureWriter::failureMessage(const QString& path, const QString& reason, Wording wording) {
    // A reason of our own is translated; the file system's comes as it is.
    const QString shownReason = wording == Wording::UserLanguage
                                    ? QCoreApplication::translate(kContext, reason.toUtf8().constData())
                                    : reason;
    return worded(wording, kContext,
                  QT_TRANSLATE_NOOP("CaptureWriter",
                                    "The bus capture could not be written and stopped: %1 (%2). "
                                    "Monitoring and logging go on."))
        .arg(path, shownReason);
}

QString CaptureWriter::errorString(Wording wording) const {
    return wording == Wording::UserLanguage
               ? QCoreApplication::translate(kContext, error_.toUtf8().constData())
               : error_;
}

QString CaptureWriter::stopMessage(StopReason reason, Wording wording) const {
    switch (reason) {
    case StopReason::LimitReached:
        return limitMessage(file_.fileName(), limit_, wording);
    case StopReason::WriteFailed:
        return failureMessage(file_.fileName(), error_, wording);
    case StopReason::Requested:
        break;
    }
    return QString();
}

bool CaptureWriter::start(const QString& path, qint64 limitBytes, Existing existing) {
    if (isRecording())
        stop();
    error_.clear();
    pending_.clear();
    written_ = 0;
    limit_ = qMin(limitBytes, Capture::kMaxFileBytes);
    const QByteArray head = Capture::header() + '\n';
    if (limit_ < head.size()) {
        error_ = QString::fromUtf8(kNoRoom);
        return false;
    }
    // Unbuffered: a refused write is seen at once and the file cut back to its whole lines.
    file_.setFileName(path);
    if (existing == Existing::Replace) {
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered)) {
            error_ = file_.errorString();
            return false;
        }
    } else {
        // Created new, never opened over a file that exists: no capture is ever emptied.
        bool opened = false;
        for (int number = 2; !opened; ++number) {
            opened = file_.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered);
            const bool taken = !opened && QFileInfo::exists(file_.fileName());
            if (!opened && (!taken || number > kLastNumber)) {
                error_ = file_.errorString();
                file_.setFileName(path);
                return false;
            }
            if (!opened)
                file_.setFileName(WholeLineFile::numberedBeside(path, number));
        }
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
        const QString message = limitMessage(file_.fileName(), limit_, Wording::English);
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
        error_ = QString::fromUtf8(kGone);
        end(StopReason::WriteFailed, stopMessage(StopReason::WriteFailed, Wording::English));
        return;
    }
    if (pending_.isEmpty())
        return;
    const qint64 n = file_.write(pending_);
    if (n != pending_.size()) {
        error_ = file_.errorString().isEmpty() ? QString::fromUtf8(kDiskFull) : file_.errorString();
        file_.resize(written_); // only whole lines stay
        end(StopReason::WriteFailed, stopMessage(StopReason::WriteFailed, Wording::English));
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
