#pragma once

#include "core/Timer.h"
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
    bool isBold(int column) const {
        return bold && (column == kColDescribtion || column == kColValue || column == kColRealValue);
    }
};

// Listbox_EEPROM as the window shows it: the heading row, the parameter rows, and whether
// the technician may click it.
struct EepromListModel {
    QStringList heading;
    QVector<EepromListRow> rows;
    bool enabled = false; // disabled until the first answer is shown, and during a write
};

// The EEPROM window's logic, free of widgets: it asks the HPU for its EEPROM through the
// main window's link, repeats the request every 500 ms until the answer is flagged, fills
// the list from it, and writes one edited parameter at a time (write request repeated
// until acknowledged, then a read-back). WindowHPU shows listModel() and ProgressBar1()
// and forwards the cell click and the commit of an edit.
//
// Everything runs on the UI thread: Timer1 ticks, the commit and the main window's receive
// side (which sets the answer flags) never interleave.
class HpuEepromEditor : public QObject {
    Q_OBJECT
public:
    static constexpr int kProgressMaximum = 100;   // ProgressBar1's maximum
    static constexpr qint64 kLargestValue = 65535; // two bytes on the wire

    HpuEepromEditor(EepromLink& link, TimerFactory& timers, EepromPrompts& prompts,
                    QObject* parent = nullptr);
    ~HpuEepromEditor() override;

    // Real values are written with this locale's decimal separator (the user's by default).
    void setLocale(const QLocale& locale) { locale_ = locale; }

    // --- Window events ---
    void open();  // asks for the EEPROM content and starts Timer1
    void close(); // stops Timer1
    void Timer1_Action();
    // A click on any cell of a row: the row whose Value cell opens for editing, or -1
    // while the list is disabled.
    int Listbox_EEPROM_CellClick(int row, int column) const;
    // The technician finished editing row's Value cell with this text: writes it to the
    // HPU at the row's address. False when nothing is written (value refused, or declined
    // out of range, and the cell is restored; or the list is not enabled).
    bool Listbox_EEPROM_CellAction(int row, const QString& text);

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

private:
    bool acceptValue(const EepromListRow& row, qint64 value);
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
};
