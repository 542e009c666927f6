#include "eeprom/HpuEepromEditor.h"

#include "core/NumberMask.h"
#include "eeprom/EepromLink.h"
#include "eeprom/EepromPrompts.h"
#include "eeprom/EepromUnits.h"

#include <algorithm>

namespace {

constexpr int kFirstPeriodMs = 1000;
constexpr int kPeriodMs = 500;

enum EepromState : qint64 { kIdle = 0, kReading = 1, kWriting = 2 };

} // namespace

HpuEepromEditor::HpuEepromEditor(EepromLink& link, TimerFactory& timers, EepromPrompts& prompts,
                                 QObject* parent)
    : QObject(parent)
    , link_(link)
    , prompts_(prompts)
    , timer1_(timers.create(QStringLiteral("Timer1"), kFirstPeriodMs, this)) {
    const EepromCatalogue catalogue = EepromCatalogue::current();
    list_.heading = catalogue.heading;
    for (const QStringList& cells : catalogue.rows)
        list_.rows.append(EepromListRow{cells, false});
    connect(timer1_, &Timer::timeout, this, &HpuEepromEditor::Timer1_Action);
}

HpuEepromEditor::~HpuEepromEditor() {
    timer1_->setMode(Timer::Off);
}

void HpuEepromEditor::clearAnswerFlags() {
    link_.state().reponseHPU = false;
    link_.state().reponseecritureHPU = false;
}

void HpuEepromEditor::open() {
    // A flag left from an earlier exchange (an answer that came after the window was
    // closed) would otherwise pass for the answer to this window's first request.
    clearAnswerFlags();
    statut_ = kReading;
    Update_EEPROM_State_Machine();
    timer1_->setMode(Timer::Repeating);
    emit changed();
}

void HpuEepromEditor::close() {
    timer1_->setMode(Timer::Off);
}

void HpuEepromEditor::Update_EEPROM_State_Machine() {
    MonitorState& state = link_.state();
    switch (statut_) {
    case kIdle:
        clearAnswerFlags();
        progressValue_ = 0;
        timer1_->setMode(Timer::Off);
        break;
    case kReading:
        if (state.reponseHPU) {
            statut_ = kIdle;
            progressValue_ = 100;
        } else {
            link_.lectureEEPROM_HPU();
            progressValue_ += 10;
        }
        break;
    case kWriting:
        if (state.reponseecritureHPU) {
            statut_ = kReading;
            // The read-back must show what the HPU holds after the write, not a read
            // answer that arrived before it.
            state.reponseHPU = false;
            link_.lectureEEPROM_HPU();
            progressValue_ = 50;
        } else {
            state.emissionRequest = true;
            link_.ecritureEEPROM_HPU(id_, val_);
            progressValue_ += 10;
        }
        break;
    default:
        statut_ = kIdle;
        break;
    }
}

void HpuEepromEditor::Timer1_Action() {
    Update_EEPROM_State_Machine();
    timer1_->setPeriod(kPeriodMs);
    progressBar_ = int(std::clamp<qint64>(progressValue_, 0, kProgressMaximum));
    if (link_.state().reponseHPU) {
        refreshWindow_HPU();
        list_.enabled = true;
    }
    emit changed();
}

void HpuEepromEditor::decodeLectEEPROMHPU() {
    fields_.decodeLectEEPROMHPU(link_.state().TrameBufferEEPROM);
}

void HpuEepromEditor::refreshWindow_HPU() {
    decodeLectEEPROMHPU();
    // Each row finds its value by the address in its (hidden) Address column, not by its
    // position: the catalogue is not in address order.
    for (EepromListRow& row : list_.rows) {
        const qint64 value = fields_.valueAtAddress(leadingInteger(row.cells[kColAddress]));
        row.cells[kColValue] = QString::number(value);
        row.cells[kColRealValue] = realValueText(value, row.cells[kColUnity], locale_);
    }
    for (EepromListRow& row : list_.rows)
        row.bold = false;
}

int HpuEepromEditor::Listbox_EEPROM_CellClick(int row, int column) const {
    Q_UNUSED(column); // any cell of the row opens the row's Value cell
    if (!list_.enabled || row < 0 || row >= list_.rows.size())
        return -1;
    return row;
}

bool HpuEepromEditor::acceptValue(const EepromListRow& row, qint64 value) {
    if (value < 0 || value > kLargestValue) {
        prompts_.refuse(tr("%1 cannot be written: an EEPROM value must lie between 0 and %2.")
                            .arg(value)
                            .arg(kLargestValue));
        return false;
    }
    const qint64 min = leadingInteger(row.cells[kColMin]);
    const qint64 max = leadingInteger(row.cells[kColMax]);
    if (value < min || value > max) {
        return prompts_.confirm(
            tr("%1 is outside the range of \"%2\" (%3 to %4).\nWrite it to the HPU anyway?")
                .arg(value)
                .arg(row.cells[kColDescribtion])
                .arg(min)
                .arg(max));
    }
    return true;
}

bool HpuEepromEditor::Listbox_EEPROM_CellAction(int row, const QString& text) {
    if (!list_.enabled || row < 0 || row >= list_.rows.size())
        return false;
    EepromListRow& edited = list_.rows[row];
    const QString previous = edited.cells[kColValue];
    edited.cells[kColValue] = text;
    // "12.7" writes 12, a text without a leading number writes 0.
    const qint64 value = leadingInteger(text);
    if (!acceptValue(edited, value)) {
        edited.cells[kColValue] = previous;
        emit changed();
        return false;
    }

    edited.bold = true;
    id_ = leadingInteger(edited.cells[kColAddress]);
    val_ = value;
    list_.enabled = false;
    // An acknowledgement left from the previous write would end this one before its
    // request is sent, and a read answer left over would pass for the read-back.
    clearAnswerFlags();
    statut_ = kWriting;
    Update_EEPROM_State_Machine();
    timer1_->setMode(Timer::Repeating);
    emit changed();
    return true;
}
