#include "monitor/BusRecorder.h"

#include "monitor/Monitor.h"

BusRecorder::BusRecorder(Monitor& monitor, Notifier& notifier, QObject* parent)
    : QObject(parent)
    , writer_(monitor.platform().clock, monitor.platform().timers, this)
    , notifier_(notifier) {
    connect(&monitor, &Monitor::busChunkReceived, &writer_, &CaptureWriter::received);
    connect(&monitor, &Monitor::busChunkWritten, &writer_, &CaptureWriter::written);
    connect(&writer_, &CaptureWriter::stopped, this,
            [this, &monitor](CaptureWriter::StopReason reason, const QString& message) {
                emit recordingChanged(false);
                emit stopped(reason, message);
                // A capture that ended on its own is kept in the event journal beside the log.
                if (reason != CaptureWriter::StopReason::Requested)
                    monitor.recordEvent(MonitorEvent::Kind::CaptureStopped, message);
                if (!message.isEmpty())
                    notifier_.showMessage(writer_.stopMessage(reason, Wording::UserLanguage));
            });
}

QString BusRecorder::startFailureMessage(const QString& path, const QString& reason, Wording wording) {
    return worded(wording, "BusRecorder",
                  QT_TRANSLATE_NOOP("BusRecorder", "The bus capture cannot be written to %1 (%2)."))
        .arg(path, reason);
}

bool BusRecorder::start(const QString& path, qint64 limitBytes, CaptureWriter::Existing existing) {
    if (!writer_.start(path, limitBytes, existing)) {
        notifier_.showMessage(
            startFailureMessage(path, writer_.errorString(Wording::UserLanguage), Wording::UserLanguage));
        return false;
    }
    emit recordingChanged(true);
    return true;
}

void BusRecorder::stop() {
    writer_.stop();
}
