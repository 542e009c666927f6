#pragma once

#include "core/ControlsState.h"
#include "core/MonitorState.h"
#include "core/Notifier.h"
#include "core/ProgramClock.h"
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

    CsvLog(MonitorState& state, ControlsState& controls, const WallClock& wallClock, Notifier& notifier,
           const LogFolderSetting& folderSetting);

    // The logging step of TimerLog_Action, run while connected and after the stale-data
    // check, so that values of a silent device are logged as reset. Writes nothing while
    // CheckBoxLog is unticked or within the second of the last line written. A file
    // failure is told once, unticks CheckBoxLog and leaves timeStampLastLog as it was, so
    // the same second is written once the box is ticked again.
    void logTick();

    // year_MM_dd_LogOrvane_<last 8 characters of the selected device entry>.csv
    static QString fileName(const QDateTime& d, const QString& deviceEntry);
    // year_MM_dd_<kind>_<last 8 characters of the device entry>.csv: the day's files of one
    // adapter, side by side in the log folder.
    static QString dayFileName(const QDateTime& d, const QString& kind, const QString& deviceEntry);

    // A file of the log (this one or the event journal beside it) could not be written: the
    // message is shown once and CheckBoxLog unticked; the observer hears of it first.
    void reportFailure(const QString& path);
    void setFailureObserver(std::function<void(const QString& path)> observer) {
        failureObserver_ = std::move(observer);
    }

    // The locale's long time format without its time-zone name: hours, minutes and
    // seconds, so that the text changes once per second ("HH:mm:ss" where none is usable).
    static QString timeFormat(const QLocale& locale);

    // The line the log would write now for the values held, with this time of day.
    QByteArray dataLine(const QString& timeOfDay, const QLocale& locale) const;

private:
    QString selectedDeviceEntry() const;

    MonitorState& state_;
    ControlsState& controls_;
    const WallClock& wallClock_;
    Notifier& notifier_;
    const LogFolderSetting& folderSetting_;
    bool failureOnScreen_ = false; // the modal message keeps the timers ticking
    std::function<void(const QString&)> failureObserver_;
};
