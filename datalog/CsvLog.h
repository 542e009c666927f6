#pragma once

#include "core/MonitorEvent.h"
#include "core/MonitorState.h"
#include "core/Notifier.h"
#include "core/ProgramClock.h"
#include "datalog/DayFileWriter.h"
#include "datalog/LogFolderSetting.h"

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>

#include <functional>

// The CSV data log: while connected and CheckBoxLog is ticked, one line of measurements
// per displayed second, appended to the day's file of the serial adapter in use
// ("2026_03_14_LogOrvane_<adapter>.csv" in LogFolder). A new file starts with
// "LOG ORVANE" and the title line. The log is write-only.
class CsvLog {
public:
    static QString failureMessage() {
        // In English; the message box shows it in the user's language.
        return QString::fromUtf8(QT_TRANSLATE_NOOP(
            "Messages", "Unable to write to Log file. Make sure another instance of the app is not opened"));
    }

    CsvLog(MonitorState& state, const WallClock& wallClock, Notifier& notifier, const LogFolderSetting& folderSetting);

    enum class TickOutcome {
        NothingWritten, // box unticked, no folder, or within the second of the last line
        Written,        // a line, or the header of a new day file
        Failed          // told to the user: CheckBoxLog is to be unticked
    };
    // The logging step of TimerLog_Action, run while connected and after the stale-data
    // check, so that values of a silent device are logged as reset, into the day file of the
    // adapter deviceEntry. Writes nothing while CheckBoxLog is unticked (boxTicked false) or
    // within the second of the last line written. A file failure is told once and leaves
    // timeStampLastLog as it was, so the same second is written once the box is ticked again.
    TickOutcome logTick(bool boxTicked, const QString& deviceEntry);

    // year_MM_dd_LogOrvane_<adapter>.csv, <adapter> as adapterPart() gives it.
    static QString fileName(const QDateTime& d, const QString& deviceEntry);
    // year_MM_dd_<kind>_<adapter>.csv: the day's files of one adapter, side by side in the log
    // folder.
    static QString dayFileName(const QDateTime& d, const QString& kind, const QString& deviceEntry);
    // The part of a device name that names its adapter in the log's file names: the last 8
    // characters, except where those are the same for every adapter. A name udev makes from the
    // adapter (/dev/serial/by-id/usb-<maker>_<product>_<serial>-if<NN>-port<N>) ends in
    // "00-port0" for all of them: its serial number is taken, followed by "-if<NN>" and
    // "-port<N>" when they are not 00 and 0 (the further ports of a multi-port adapter). A name
    // of the socket (/dev/serial/by-path/...) is taken whole. Characters other than letters,
    // digits, ".", "-" and "_" become "_".
    static QString adapterPart(const QString& deviceEntry);

    // What the log has to tell the event journal: a write failure, a day file moved beside
    // one that refused its lines (LogFileMoved).
    void setEventObserver(std::function<void(MonitorEvent::Kind, const QString&)> observer) {
        eventObserver_ = std::move(observer);
    }
    // The journal beside the log could not be written: told with the log's message, unless a
    // failure was told since the last line written (one folder gone fails both: one message).
    // The box stays ticked.
    void tellJournalFailure();
    // The box was unticked by a failure, not by the user: the event journal goes on meanwhile.
    bool isOffAfterFailure() const { return offAfterFailure_; }
    // The user ticked or unticked the box: a failure after this is told again.
    void userChose() {
        offAfterFailure_ = false;
        toldUnwritten_ = false;
    }

    // The locale's long time format without its time-zone name: hours, minutes and
    // seconds, so that the text changes once per second ("HH:mm:ss" where none is usable).
    static QString timeFormat(const QLocale& locale);

    // The line the log would write now for the values held, with this time of day.
    QByteArray dataLine(const QString& timeOfDay, const QLocale& locale) const;

private:
    // The CSV log could not be written: the message is shown once (Failed), unless it is on
    // screen already; the observer hears of it first (LogWriteFailed with the file).
    TickOutcome reportFailure(const QString& path);

    MonitorState& state_;
    const WallClock& wallClock_;
    Notifier& notifier_;
    const LogFolderSetting& folderSetting_;
    bool failureOnScreen_ = false; // the modal message keeps the timers ticking
    bool offAfterFailure_ = false;
    bool toldUnwritten_ = false; // a failure was told and no line has been written since
    DayFileWriter dayFile_;
    std::function<void(MonitorEvent::Kind, const QString&)> eventObserver_;
};
