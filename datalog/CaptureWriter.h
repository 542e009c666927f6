#pragma once

#include "core/Wording.h"
#include "datalog/CaptureFormat.h"

#include <QFile>
#include <QObject>
#include <QString>

class ProgramClock;
class Timer;
class TimerFactory;

// Records what the bus carries into a capture file. Chunks are formatted as they come and
// written whole once a second (and at stop), so a busy line costs one write a second. The
// file never grows past its limit: the chunk that would cross it stops the capture instead.
// A capture that cannot be written (folder gone, disk full) stops too; the lines already in
// the file stay readable. Nothing here touches the monitoring: a stop is only reported.
class CaptureWriter : public QObject {
    Q_OBJECT
public:
    enum class StopReason { Requested, LimitReached, WriteFailed };
    Q_ENUM(StopReason)
    // What becomes of a file already at the path: replaced (the technician chose it in a save
    // dialog, which asked), or kept, the capture going to the first free "<name>-2.<ext>",
    // "<name>-3.<ext>", ... beside it (a capture named on the command line, which a restart
    // after a crash must not empty).
    enum class Existing { Replace, KeepAndNumber };

    CaptureWriter(const ProgramClock& clock, TimerFactory& timers, QObject* parent = nullptr);
    ~CaptureWriter() override;

    // Creates the file and writes its header; path() tells which file it is. False, with
    // errorString(), when it cannot be created or the limit leaves no room for the header.
    bool start(const QString& path, qint64 limitBytes = Capture::kMaxFileBytes,
               Existing existing = Existing::Replace);
    // Writes what is pending and closes the file.
    void stop();
    bool isRecording() const { return file_.isOpen(); }
    QString path() const { return file_.fileName(); }
    // Why the capture could not be created or written; in English unless asked otherwise.
    QString errorString(Wording wording = Wording::English) const;
    // Bytes in the file and pending for it.
    qint64 size() const { return written_ + pending_.size(); }

    // The hook: every chunk received and every command written, as the monitor reports them.
    void received(const QByteArray& bytes) { append(Capture::Direction::Received, bytes); }
    void written(const QByteArray& bytes) { append(Capture::Direction::Written, bytes); }
    // Writes what is pending now (the once-a-second tick).
    void flush();

    static QString limitMessage(const QString& path, qint64 limitBytes, Wording wording = Wording::English);
    static QString failureMessage(const QString& path, const QString& reason,
                                  Wording wording = Wording::English);
    // The message of the capture's last stop (empty when asked for): the signal carries it in
    // English, for the event journal; the technician reads it in the user's language.
    QString stopMessage(StopReason reason, Wording wording) const;

signals:
    // The capture ended on its own (limit or failure), with its message in English (see
    // stopMessage()); also once after stop(). The one place where the event journal is told of a capture's
    // end.
    void stopped(CaptureWriter::StopReason reason, const QString& message);

private:
    void append(Capture::Direction direction, const QByteArray& bytes);
    void end(StopReason reason, const QString& message);

    const ProgramClock& clock_;
    Timer* flushTimer_;
    QFile file_;
    QString error_;
    qint64 startUs_ = 0;
    qint64 limit_ = 0;
    qint64 written_ = 0; // whole lines in the file
    QByteArray pending_;
};
