#pragma once

#include "datalog/CaptureWriter.h"

#include <QObject>

class Monitor;
class Notifier;

// Records what the monitor's serial port carries into a capture file, for the window's
// "Record bus..." and for --record in every front end. A capture that stops on its own (size
// limit, folder gone, disk full) tells the technician once; the monitoring, the CSV log and
// everything else go on untouched.
class BusRecorder : public QObject {
    Q_OBJECT
public:
    BusRecorder(Monitor& monitor, Notifier& notifier, QObject* parent = nullptr);

    // False, after telling the technician, when the file cannot be created. path() tells the
    // file used, which is another than asked when an existing capture is kept.
    bool start(const QString& path, qint64 limitBytes = Capture::kMaxFileBytes,
               CaptureWriter::Existing existing = CaptureWriter::Existing::Replace);
    void stop();
    bool isRecording() const { return writer_.isRecording(); }
    QString path() const { return writer_.path(); }

    static QString startFailureMessage(const QString& path, const QString& reason,
                                       Wording wording = Wording::English);

signals:
    void recordingChanged(bool recording);
    // The capture has ended, with why and its message in English, as the monitor's journal
    // keeps it (empty when asked for); the technician is shown it in the user's language. One
    // that stopped at its limit or failed is also an event of the journal.
    void stopped(CaptureWriter::StopReason reason, const QString& message);

private:
    CaptureWriter writer_;
    Notifier& notifier_;
};
