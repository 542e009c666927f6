#pragma once

#include "core/Timer.h"
#include "eeprom/EepromBackup.h"
#include "eeprom/EepromCatalogue.h"
#include "eeprom/HpuEepromFields.h"

#include <QLocale>
#include <QObject>
#include <QStringList>
#include <QVector>

#include <optional>

class EepromLink;
class EepromPrompts;

// One parameter row of Listbox_EEPROM as the window shows it.
struct EepromListRow {
    EepromParameter parameter; // what the row's fixed cells say, read once
    QStringList cells;         // the nine column texts, hidden columns included
    // An edited row shows its Describtion, Value and Real value cells in bold until the
    // next refresh from the HPU's answer.
    bool bold = false;
    // Compared with a backup file: the file's raw value ("" when the file lacks the
    // parameter) and whether it differs from the HPU's.
    QString fileValue;
    bool differs = false;
    bool isBold(int column) const {
        return bold && (column == kColDescribtion || column == kColValue || column == kColRealValue);
    }
};

// Listbox_EEPROM as the window shows it: the heading row, the parameter rows, and whether
// the technician may click it.
struct EepromListModel {
    QStringList heading;
    QVector<EepromListRow> rows;
    // Both follow from the editor's mode and its loaded file; only the editor sets them.
    bool enabled = false;   // the HPU's answer of this opening is shown and nothing runs
    bool comparing = false; // a backup file is loaded: the file's values are shown
};

// The EEPROM window's logic, free of widgets: it asks the HPU for its EEPROM through the
// main window's link, repeats the request every 500 ms until a complete answer has come,
// fills the list from it, and writes one parameter at a time (write request repeated until
// acknowledged, then a read-back compared with the value written). It also saves what the
// HPU holds to a backup file, compares a file with the HPU and writes the differences back
// one after the other. WindowHPU shows listModel(), ProgressBar1() and statusText() and
// forwards the clicks, edits, Cancel and Escape.
//
// Every request goes through the link on this editor's behalf; what the editor no longer
// wants (closed, cancelled, a restore ended) is withdrawn from the outgoing slot.
//
// Everything runs on the UI thread: Timer1 ticks, the commit and the main window's receive
// side (which sets the answer flags) never interleave.
class HpuEepromEditor : public QObject {
    Q_OBJECT
public:
    static constexpr int kProgressMaximum = 100; // ProgressBar1's maximum
    // During a restore, a parameter not acknowledged and read back within this time ends
    // the restore: the HPU is silent.
    static constexpr int kRestoreSilenceMs = 10000;
    // After Cancel, a write already on the line is read back for at most this long.
    static constexpr int kCancelReadBackMs = 5000;

    // What the editor is doing; every change goes through enter().
    enum class Mode {
        Reading,     // asking for the EEPROM content; nothing is shown as the HPU's yet
        Ready,       // this opening's complete answer is shown; the list takes an edit
        Editing,     // an edit taken and being checked (a question may be open)
        Writing,     // a write request repeated until acknowledged
        ReadingBack, // acknowledged: the EEPROM read back to verify the write
        Cancelling,  // Cancel: nothing more is written; a write already sent is read back
        Closed,      // not open: before the window opens and after it closes; nothing is asked
    };

    HpuEepromEditor(EepromLink& link, TimerFactory& timers, EepromPrompts& prompts,
                    QObject* parent = nullptr);
    ~HpuEepromEditor() override;

    // Real values are written with this locale's decimal separator (the user's by default).
    void setLocale(const QLocale& locale) { locale_ = locale; }

    // --- Window events ---
    void open();  // asks for the EEPROM content and starts Timer1
    void close(); // stops Timer1, withdraws a request not yet sent, abandons a taken edit
    void Timer1_Action();
    // A click on any cell of a row: the row whose Value cell opens for editing, or -1
    // while the list is disabled.
    int Listbox_EEPROM_CellClick(int row, int column) const;
    // The technician pressed Return on row's Value cell with this text: the text is taken
    // and the list disabled at once (one write at a time); nothing is checked or sent yet.
    // False when the list is not enabled.
    bool takeEdit(int row, const QString& text);
    // Checks the taken text, asks about a value outside Min and Max, and writes it. False
    // when nothing is written (refused or declined: the cell is restored and the list
    // enabled again). The window calls it once the item editor has closed, so that no
    // message box opens inside the editor's own commit.
    bool writeTakenEdit();
    // takeEdit followed by writeTakenEdit.
    bool Listbox_EEPROM_CellAction(int row, const QString& text);

    // A write or restore is under way: Cancel, Escape and the close box cancel it rather
    // than close the window.
    bool isBusy() const;
    // Cancel during a write or a restore: a request not yet sent is withdrawn, one already
    // on the line is read back, and the account is told (writeEnded or restoreEnded).
    // A second Cancel while the read-back runs stops waiting for it.
    void cancel();

    // --- Backup, compare, restore ---
    // A complete read answer of this opening is shown and nothing runs: a backup can be taken.
    bool canSave() const;
    EepromBackup backup(const QString& toolVersion, const QDateTime& utc) const;
    // Shows the file's values beside the HPU's. Only once a complete read is shown.
    bool compareWith(const EepromBackup& file);
    void endCompare();
    // Parameters (addresses) whose file value differs from the HPU's.
    QVector<qint64> differences() const;
    // Writes the differences one at a time, each through the write sequence with its
    // acknowledgement and read-back. Values outside Min and Max, and a board number or
    // software version that differs from the file's or that the file lacks, are named in
    // one confirmation first. False when nothing is written.
    bool writeDifferences();
    // Cancel of a restore.
    void cancelRestore() { cancel(); }
    bool isRestoring() const { return restore_.has_value(); }

    // --- Steps ---
    // One step of the sequencer (Statut_EEPROM 0 idle, 1 reading, 2 writing).
    void Update_EEPROM_State_Machine();
    void decodeLectEEPROMHPU();
    void refreshWindow_HPU();

    // --- What the window shows and holds ---
    Mode mode() const { return mode_; }
    const EepromListModel& listModel() const { return list_; }
    int ProgressBar1() const { return progressBar_; }
    // One line under the list: what the editor waits for, or how the last write ended.
    QString statusText() const;
    Timer& Timer1() { return *timer1_; }
    const HpuEepromFields& fields() const { return fields_; }
    qint64 Statut_EEPROM() const;
    qint64 progressValue() const { return progressValue_; }
    qint64 Id() const { return id_; }
    qint64 Val() const { return val_; }

signals:
    // After every event that may have changed what the window shows.
    void changed();
    // A single write ended otherwise than verified, or was cancelled: what happened.
    void writeEnded(const QString& report);
    // A restore has ended (all written, cancelled, or stopped): what was done.
    void restoreEnded(const QString& report);

private:
    // How one parameter's write ended.
    enum class Outcome { Verified, HeldOther, NotWritten, NotConfirmed };

    struct WriteJob {
        int row = -1;
        qint64 address = -1;
        qint64 value = -1;
        QString previous;   // the Value cell before the edit
        int sentBefore = 0; // the link's count of writes sent when this one started
        bool acknowledged = false;
        int cancelMs = 0; // time spent reading back since Cancel
    };

    struct RestorePlan {
        QVector<QPair<qint64, qint64>> pending; // (address, value) still to write
        QVector<qint64> verified;               // written and read back equal
        QStringList heldOther;                  // "\"name\" (HPU n)": read back different
        QVector<qint64> notWritten;
        qint64 notConfirmed = -1;
        qint64 board = -1; // the HPU's board number when the restore started
        int silentMs = 0;  // since the current write started
        bool cancelled = false;
    };

    void enter(Mode next);
    void askRead();
    void startWrite(int row, qint64 value);
    void showAnswer();
    void writeStep();
    void readBackStep();
    bool writeOnLine() const;
    void finishWrite(Outcome outcome, qint64 held);
    void continueRestore(const QString& stoppedBecause);
    void watchRestore();
    void updateComparison();
    int rowOfAddress(qint64 address) const;
    QString describe(qint64 address) const;
    QString describeList(const QVector<qint64>& addresses) const;

    EepromLink& link_;
    EepromPrompts& prompts_;
    QLocale locale_;
    Timer* timer1_;

    Mode mode_ = Mode::Closed;
    EepromListModel list_;
    int progressBar_ = 0;
    HpuEepromFields fields_;
    qint64 progressValue_ = -1;
    qint64 id_ = -1;
    qint64 val_ = -1;
    bool incompleteAnswer_ = false; // the last answer awaited came cut short
    QString outcomeText_;           // how the last write ended, for the status line

    QString takenText_; // the edit being checked (Editing)
    WriteJob job_;      // the write under way (Writing, ReadingBack, Cancelling)

    std::optional<EepromBackup> file_;
    std::optional<RestorePlan> restore_;
};
