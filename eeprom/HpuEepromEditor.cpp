#include "eeprom/HpuEepromEditor.h"

#include "core/NumberMask.h"
#include "eeprom/EepromLink.h"
#include "eeprom/EepromPrompts.h"
#include "eeprom/EepromUnits.h"
#include "eeprom/EepromValueCheck.h"

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
        list_.rows.append(EepromListRow{cells, false, QString(), false});
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
    takenRow_ = -1;
    restore_ = Restore{};
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
    // Only the step that finds the read answer it was waiting for shows it: a stray read
    // answer during a write must not re-enable the list before the write's read-back.
    const bool wasReading = statut_ == kReading;
    Update_EEPROM_State_Machine();
    timer1_->setPeriod(kPeriodMs);
    progressBar_ = int(std::clamp<qint64>(progressValue_, 0, kProgressMaximum));
    if (wasReading && statut_ == kIdle) {
        refreshWindow_HPU();
        readShown_ = true;
        list_.enabled = true;
        if (restore_.active)
            readBackShown();
    } else if (restore_.active) {
        watchRestore();
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
    updateComparison();
}

int HpuEepromEditor::Listbox_EEPROM_CellClick(int row, int column) const {
    Q_UNUSED(column); // any cell of the row opens the row's Value cell
    if (!list_.enabled || row < 0 || row >= list_.rows.size())
        return -1;
    return row;
}

bool HpuEepromEditor::takeEdit(int row, const QString& text) {
    if (!list_.enabled || row < 0 || row >= list_.rows.size())
        return false;
    EepromListRow& edited = list_.rows[row];
    takenRow_ = row;
    takenText_ = text;
    takenPrevious_ = edited.cells[kColValue];
    edited.cells[kColValue] = text;
    list_.enabled = false;
    emit changed();
    return true;
}

bool HpuEepromEditor::writeTakenEdit() {
    if (takenRow_ < 0)
        return false;
    const int row = takenRow_;
    const TypedValue typed = checkTypedValue(list_.rows[row].cells, takenText_);
    bool accepted = typed.verdict == TypedValue::Writable;
    if (typed.verdict == TypedValue::Refused)
        prompts_.refuse(typed.message);
    else if (typed.verdict == TypedValue::OutOfRange)
        accepted = prompts_.confirm(typed.message);
    // The window may have been closed while the question was open.
    if (takenRow_ != row)
        return false;
    takenRow_ = -1;
    if (!accepted) {
        list_.rows[row].cells[kColValue] = takenPrevious_;
        list_.enabled = true;
        emit changed();
        return false;
    }
    startWrite(row, typed.value);
    emit changed();
    return true;
}

bool HpuEepromEditor::Listbox_EEPROM_CellAction(int row, const QString& text) {
    return takeEdit(row, text) && writeTakenEdit();
}

void HpuEepromEditor::startWrite(int row, qint64 value) {
    EepromListRow& edited = list_.rows[row];
    edited.bold = true;
    edited.cells[kColValue] = QString::number(value);
    id_ = leadingInteger(edited.cells[kColAddress]);
    val_ = value;
    list_.enabled = false;
    // An acknowledgement left from the previous write would end this one before its
    // request is sent, and a read answer left over would pass for the read-back.
    clearAnswerFlags();
    statut_ = kWriting;
    Update_EEPROM_State_Machine();
    timer1_->setMode(Timer::Repeating);
}

// --- Backup, compare, restore ---

bool HpuEepromEditor::canSave() const {
    return readShown_ && statut_ == kIdle && takenRow_ < 0 && !restore_.active;
}

EepromBackup HpuEepromEditor::backup(const QString& toolVersion, const QDateTime& utc) const {
    EepromBackup backup;
    backup.toolVersion = toolVersion;
    backup.savedAtUtc = utc.toUTC();
    backup.boardNumber = fields_.SYS_NoCarte;
    backup.softwareVersion = fields_.SYS_VersionSoft;
    for (const EepromListRow& row : list_.rows) {
        EepromBackupParameter p;
        p.address = leadingInteger(row.cells[kColAddress]);
        p.identifier = row.cells[kColParameter];
        p.description = row.cells[kColDescribtion];
        p.raw = fields_.valueAtAddress(p.address);
        p.physical = row.cells[kColRealValue];
        p.unit = row.cells[kColUnity];
        backup.parameters.append(p);
    }
    return backup;
}

bool HpuEepromEditor::compareWith(const EepromBackup& file) {
    if (!canSave())
        return false;
    file_ = file;
    list_.comparing = true;
    updateComparison();
    emit changed();
    return true;
}

void HpuEepromEditor::endCompare() {
    if (restore_.active)
        return;
    list_.comparing = false;
    file_ = EepromBackup{};
    updateComparison();
    emit changed();
}

void HpuEepromEditor::updateComparison() {
    for (EepromListRow& row : list_.rows) {
        row.fileValue.clear();
        row.differs = false;
        if (!list_.comparing)
            continue;
        const qint64 address = leadingInteger(row.cells[kColAddress]);
        for (const EepromBackupParameter& p : file_.parameters) {
            if (p.address == address) {
                row.fileValue = QString::number(p.raw);
                row.differs = p.raw != fields_.valueAtAddress(address);
            }
        }
    }
}

QVector<qint64> HpuEepromEditor::differences() const {
    QVector<qint64> addresses;
    for (const EepromListRow& row : list_.rows)
        if (row.differs)
            addresses.append(leadingInteger(row.cells[kColAddress]));
    return addresses;
}

int HpuEepromEditor::rowOfAddress(qint64 address) const {
    for (int r = 0; r < list_.rows.size(); ++r)
        if (leadingInteger(list_.rows[r].cells[kColAddress]) == address)
            return r;
    return -1;
}

QString HpuEepromEditor::describe(qint64 address) const {
    const int row = rowOfAddress(address);
    return row < 0 ? QString::number(address) : list_.rows[row].cells[kColDescribtion];
}

QString HpuEepromEditor::describeList(const QVector<qint64>& addresses) const {
    if (addresses.isEmpty())
        return tr("none");
    QStringList names;
    for (qint64 address : addresses)
        names.append(QStringLiteral("\"%1\"").arg(describe(address)));
    return names.join(QStringLiteral(", "));
}

bool HpuEepromEditor::writeDifferences() {
    if (!list_.comparing || !canSave())
        return false;
    const QVector<qint64> addresses = differences();
    if (addresses.isEmpty()) {
        prompts_.inform(tr("The HPU already holds the file's values: nothing to write."));
        return false;
    }

    QVector<QPair<qint64, qint64>> writes;
    QStringList lines;
    QStringList outside;
    for (qint64 address : addresses) {
        const EepromListRow& row = list_.rows[rowOfAddress(address)];
        const qint64 value = row.fileValue.toLongLong();
        writes.append({address, value});
        lines.append(tr("  %1: %2 -> %3").arg(row.cells[kColDescribtion], row.cells[kColValue]).arg(value));
        const qint64 min = leadingInteger(row.cells[kColMin]);
        const qint64 max = leadingInteger(row.cells[kColMax]);
        if (value < min || value > max)
            outside.append(tr("  %1: %2 is outside %3 to %4")
                               .arg(row.cells[kColDescribtion])
                               .arg(value)
                               .arg(min)
                               .arg(max));
    }
    const QString header = writes.size() == 1
                               ? tr("Write 1 parameter from the file to the HPU?")
                               : tr("Write %1 parameters from the file to the HPU?").arg(writes.size());
    QString question = header + QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
    if (!outside.isEmpty())
        question += QLatin1String("\n\n") + tr("Outside the parameter's range:") + QLatin1Char('\n') +
                    outside.join(QLatin1Char('\n'));
    if (file_.boardNumber >= 0 && file_.boardNumber != fields_.SYS_NoCarte)
        question += QLatin1String("\n\n") + tr("The file was saved from HPU board %1; this HPU is board %2.")
                                                .arg(file_.boardNumber)
                                                .arg(fields_.SYS_NoCarte);
    if (file_.softwareVersion >= 0 && file_.softwareVersion != fields_.SYS_VersionSoft)
        question +=
            QLatin1String("\n\n") + tr("The file was saved from HPU software version %1; this HPU runs %2.")
                                        .arg(file_.softwareVersion)
                                        .arg(fields_.SYS_VersionSoft);
    if (!prompts_.confirm(question) || !canSave())
        return false;

    restore_ = Restore{};
    restore_.active = true;
    restore_.pending = writes;
    const QPair<qint64, qint64> first = restore_.pending.takeFirst();
    restore_.current = first.first;
    progressValue_ = 0;
    startWrite(rowOfAddress(first.first), first.second);
    emit changed();
    return true;
}

void HpuEepromEditor::cancelRestore() {
    if (restore_.active)
        restore_.cancelRequested = true;
}

void HpuEepromEditor::readBackShown() {
    restore_.written.append(restore_.current);
    restore_.current = -1;
    restore_.silentMs = 0;
    if (restore_.cancelRequested) {
        QVector<qint64> notWritten;
        for (const auto& write : restore_.pending)
            notWritten.append(write.first);
        endRestore(tr("Restore cancelled. Written and read back: %1. Not written: %2.")
                       .arg(describeList(restore_.written), describeList(notWritten)));
        return;
    }
    if (!restore_.pending.isEmpty()) {
        const QPair<qint64, qint64> next = restore_.pending.takeFirst();
        restore_.current = next.first;
        progressValue_ = 0;
        startWrite(rowOfAddress(next.first), next.second);
        return;
    }
    // Every parameter of the file, written or not, is compared with the last read-back.
    QStringList differing;
    for (const EepromBackupParameter& p : file_.parameters) {
        const qint64 held = fields_.valueAtAddress(p.address);
        if (held != p.raw)
            differing.append(tr("  %1: HPU %2, file %3").arg(describe(p.address)).arg(held).arg(p.raw));
    }
    const int count = int(restore_.written.size());
    const QString written = count == 1 ? tr("1 parameter written") : tr("%1 parameters written").arg(count);
    if (differing.isEmpty())
        endRestore(tr("%1, all verified").arg(written));
    else
        endRestore(tr("%1; these differ from the file:").arg(written) + QLatin1Char('\n') +
                   differing.join(QLatin1Char('\n')));
}

void HpuEepromEditor::watchRestore() {
    restore_.silentMs += kPeriodMs;
    QString why;
    if (!link_.isConnected())
        why = tr("the connection was lost");
    else if (restore_.silentMs >= kRestoreSilenceMs)
        why = tr("the HPU did not answer");
    if (why.isEmpty())
        return;
    // The sequencer stops: no request is repeated once the restore has ended.
    statut_ = kIdle;
    clearAnswerFlags();
    progressValue_ = 0;
    progressBar_ = 0;
    timer1_->setMode(Timer::Off);
    list_.enabled = true;
    QVector<qint64> notWritten;
    for (const auto& write : restore_.pending)
        notWritten.append(write.first);
    endRestore(
        tr("Restore stopped: %1. Written and read back: %2. Not confirmed: \"%3\" (close and reopen the "
           "window to read what the HPU holds). Not written: %4.")
            .arg(why, describeList(restore_.written), describe(restore_.current), describeList(notWritten)));
}

void HpuEepromEditor::endRestore(const QString& report) {
    restore_ = Restore{};
    updateComparison();
    emit restoreEnded(report);
}
