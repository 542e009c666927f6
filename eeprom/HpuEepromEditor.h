#pragma once

#include "core/Timer.h"
#include "eeprom/EepromBackup.h"
#include "eeprom/EepromCatalogue.h"
#include "eeprom/HpuEepromFields.h"

#include <QLocale>
#include <QObject>
#include <QStringList>
#include <QVector>

class EepromLink;
class EepromPrompts;

// One parameter row of Listbox_EEPROM as the window shows it.
struct EepromListRow {
    QStringList cells; // the nine column texts, hidden columns included
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
    bool enabled = false;   // disabled until the first answer is shown, and during a write
    bool comparing = false; // a backup file is loaded: the file's values are shown
};

// The EEPROM window's logic, free of widgets: it asks the HPU for its EEPROM through the
// main window's link, repeats the request every 500 ms until the answer is flagged, fills
// the list from it, and writes one parameter at a time (write request repeated until
// acknowledged, then a read-back). It also saves what the HPU holds to a backup file,
// compares a file with the HPU and writes the differences back one after the other.
// WindowHPU shows listModel() and ProgressBar1() and forwards the clicks and edits.
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

    HpuEepromEditor(EepromLink& link, TimerFactory& timers, EepromPrompts& prompts,
                    QObject* parent = nullptr);
    ~HpuEepromEditor() override;

    // Real values are written with this locale's decimal separator (the user's by default).
    void setLocale(const QLocale& locale) { locale_ = locale; }

    // --- Window events ---
    void open();  // asks for the EEPROM content and starts Timer1
    void close(); // stops Timer1 and abandons an edit not yet checked
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

    // --- Backup, compare, restore ---
    // A complete read answer is shown and no write runs: a backup can be taken.
    bool canSave() const;
    EepromBackup backup(const QString& toolVersion, const QDateTime& utc) const;
    // Shows the file's values beside the HPU's. Only once a complete read is shown.
    bool compareWith(const EepromBackup& file);
    void endCompare();
    // Parameters (addresses) whose file value differs from the HPU's.
    QVector<qint64> differences() const;
    // Writes the differences one at a time, each through the write sequence with its
    // acknowledgement and read-back. Values outside Min and Max, and a board number or
    // software version that differs from the file's, are named in one confirmation first.
    // False when nothing is written.
    bool writeDifferences();
    // Stops after the current parameter's read-back: nothing is left half-written.
    void cancelRestore();
    bool isRestoring() const { return restore_.active; }

    // --- Steps ---
    // One step of the sequencer: 0 idle, 1 reading, 2 writing.
    void Update_EEPROM_State_Machine();
    void decodeLectEEPROMHPU();
    void refreshWindow_HPU();

    // --- What the window shows and holds ---
    const EepromListModel& listModel() const { return list_; }
    int ProgressBar1() const { return progressBar_; }
    Timer& Timer1() { return *timer1_; }
    const HpuEepromFields& fields() const { return fields_; }
    qint64 Statut_EEPROM() const { return statut_; }
    qint64 progressValue() const { return progressValue_; }
    qint64 Id() const { return id_; }
    qint64 Val() const { return val_; }

signals:
    // After every event that may have changed what the window shows.
    void changed();
    // A restore has ended (all written, cancelled, or stopped): what was done.
    void restoreEnded(const QString& report);

private:
    struct Restore {
        bool active = false;
        bool cancelRequested = false;
        QVector<QPair<qint64, qint64>> pending; // (address, value) still to write
        QVector<qint64> written;                // acknowledged and read back
        qint64 current = -1;                    // address being written
        int silentMs = 0;                       // since the current write started
    };

    void startWrite(int row, qint64 value);
    void readBackShown();
    void watchRestore();
    void endRestore(const QString& report);
    void updateComparison();
    int rowOfAddress(qint64 address) const;
    QString describe(qint64 address) const;
    QString describeList(const QVector<qint64>& addresses) const;
    void clearAnswerFlags();

    EepromLink& link_;
    EepromPrompts& prompts_;
    QLocale locale_;
    Timer* timer1_;

    EepromListModel list_;
    int progressBar_ = 0;
    HpuEepromFields fields_;
    qint64 statut_ = 0;
    qint64 progressValue_ = -1;
    qint64 id_ = -1;
    qint64 val_ = -1;
    bool readShown_ = false; // a complete read answer is shown

    int takenRow_ = -1; // an edit taken and not yet checked
    QString takenText_;
    QString takenPrevious_;

    EepromBackup file_;
    Restore restore_;
};
