#include "eeprom/HpuEepromEditor.h"

#include "eeprom/EepromLink.h"
#include "eeprom/EepromPrompts.h"
#include "eeprom/EepromUnits.h"
#include "eeprom/EepromValueCheck.h"

#include <algorithm>

namespace {

constexpr int kFirstPeriodMs = 1000;
constexpr int kPeriodMs = 500;

} // namespace

HpuEepromEditor::HpuEepromEditor(EepromLink& link, TimerFactory& timers, EepromPrompts& prompts,
                                 QObject* parent)
    : QObject(parent)
    , link_(link)
    , prompts_(prompts)
    , timer1_(timers.create(QStringLiteral("Timer1"), kFirstPeriodMs, this)) {
    const EepromCatalogue catalogue = EepromCatalogue::current();
    list_.heading = catalogue.heading;
    for (int i = 0; i < catalogue.rows.size(); ++i)
        list_.rows.append(EepromListRow{catalogue.parameters[i], catalogue.rows[i], false, QString(), false});
    connect(timer1_, &Timer::timeout, this, &HpuEepromEditor::Timer1_Action);
}

HpuEepromEditor::~HpuEepromEditor() {
    timer1_->setMode(Timer::Off);
    if (mode_ != Mode::Closed)
        link_.withdraw();
}

// Every change of mode, with what it brings: the list takes clicks only when Ready, and
// Timer1 runs while something is awaited.
void HpuEepromEditor::enter(Mode next) {
    mode_ = next;
    list_.enabled = next == Mode::Ready;
    switch (next) {
    case Mode::Reading:
    case Mode::Writing:
    case Mode::ReadingBack:
    case Mode::Cancelling:
        timer1_->setMode(Timer::Repeating);
        break;
    case Mode::Ready:
        // Left running: its next tick is the idle step that clears the answers.
        break;
    case Mode::Editing:
        break;
    case Mode::Closed:
        timer1_->setMode(Timer::Off);
        link_.withdraw();
        break;
    }
}

qint64 HpuEepromEditor::Statut_EEPROM() const {
    switch (mode_) {
    case Mode::Reading:
    case Mode::ReadingBack:
    case Mode::Cancelling:
        return 1;
    case Mode::Writing:
        return 2;
    default:
        return 0;
    }
}

bool HpuEepromEditor::isBusy() const {
    return mode_ == Mode::Writing || mode_ == Mode::ReadingBack || mode_ == Mode::Cancelling;
}

QString HpuEepromEditor::statusText() const {
    const QString name = job_.address >= 0 ? describe(job_.address) : QString();
    switch (mode_) {
    case Mode::Reading:
    case Mode::ReadingBack:
    case Mode::Cancelling:
        if (!link_.isLineUp())
            return tr("Waiting for the connection…");
        if (incompleteAnswer_)
            return tr("The HPU's answer was incomplete: asking again…");
        if (mode_ == Mode::Reading)
            return tr("Reading the HPU's EEPROM…");
        if (mode_ == Mode::Cancelling)
            return tr("Cancelling: reading \"%1\" back…").arg(name);
        return tr("Reading \"%1\" back…").arg(name);
    case Mode::Writing:
        if (!link_.isLineUp())
            return tr("Waiting for the connection: \"%1\" is not written yet.").arg(name);
        return tr("Writing \"%1\"…").arg(name);
    case Mode::Ready:
        return outcomeText_;
    case Mode::Editing:
    case Mode::Closed:
        break;
    }
    return QString();
}

void HpuEepromEditor::open() {
    // An answer heard before this opening (a late answer to an earlier window's request)
    // would otherwise pass for the answer to this window's first request.
    link_.clearAnswers();
    enter(Mode::Reading);
    Update_EEPROM_State_Machine();
    emit changed();
}

void HpuEepromEditor::close() {
    if (mode_ == Mode::Closed)
        return;
    enter(Mode::Closed);
    restore_.reset();
}

void HpuEepromEditor::askRead() {
    link_.lectureEEPROM_HPU();
}

void HpuEepromEditor::Update_EEPROM_State_Machine() {
    switch (mode_) {
    case Mode::Ready:
        // The idle step, one tick after the answer was shown.
        link_.clearAnswers();
        progressValue_ = 0;
        timer1_->setMode(Timer::Off);
        break;
    case Mode::Reading:
        if (link_.reponseHPU()) {
            progressValue_ = 100;
            showAnswer();
        } else {
            incompleteAnswer_ = incompleteAnswer_ || link_.incompleteAnswer();
            askRead();
            progressValue_ += 10;
        }
        break;
    case Mode::Writing:
        writeStep();
        break;
    case Mode::ReadingBack:
    case Mode::Cancelling:
        readBackStep();
        break;
    case Mode::Editing:
    case Mode::Closed:
        break;
    }
}

void HpuEepromEditor::Timer1_Action() {
    Update_EEPROM_State_Machine();
    timer1_->setPeriod(kPeriodMs);
    progressBar_ = int(std::clamp<qint64>(progressValue_, 0, kProgressMaximum));
    if (restore_ && (mode_ == Mode::Writing || mode_ == Mode::ReadingBack))
        watchRestore();
    emit changed();
}

void HpuEepromEditor::showAnswer() {
    link_.withdraw(); // a repetition not yet sent is no longer wanted
    refreshWindow_HPU();
    incompleteAnswer_ = false;
    enter(Mode::Ready);
}

void HpuEepromEditor::decodeLectEEPROMHPU() {
    fields_.decodeLectEEPROMHPU(link_.TrameBufferEEPROM());
}

void HpuEepromEditor::refreshWindow_HPU() {
    decodeLectEEPROMHPU();
    // Each row finds its value by its parameter's address, not by its position: the
    // catalogue is not in address order.
    for (EepromListRow& row : list_.rows) {
        const qint64 value = fields_.valueAtAddress(row.parameter.address);
        row.cells[kColValue] = QString::number(value);
        row.cells[kColRealValue] = realValueText(value, row.parameter.unit, locale_);
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
    if (mode_ != Mode::Ready || row < 0 || row >= list_.rows.size())
        return false;
    EepromListRow& edited = list_.rows[row];
    job_ = WriteJob{};
    job_.row = row;
    job_.previous = edited.cells[kColValue];
    takenText_ = text;
    edited.cells[kColValue] = text;
    enter(Mode::Editing);
    emit changed();
    return true;
}

bool HpuEepromEditor::writeTakenEdit() {
    if (mode_ != Mode::Editing)
        return false;
    const int row = job_.row;
    const TypedValue typed = checkTypedValue(list_.rows[row].parameter, takenText_);
    bool accepted = typed.verdict == TypedValue::Writable;
    if (typed.verdict == TypedValue::Refused)
        prompts_.refuse(typed.message);
    else if (typed.verdict == TypedValue::OutOfRange)
        accepted = prompts_.confirm(typed.message);
    // The window may have been closed while the question was open.
    if (mode_ != Mode::Editing)
        return false;
    if (!accepted) {
        list_.rows[row].cells[kColValue] = job_.previous;
        enter(Mode::Ready);
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
    const QString previous = mode_ == Mode::Editing ? job_.previous : edited.cells[kColValue];
    job_ = WriteJob{};
    job_.row = row;
    job_.previous = previous;
    job_.address = edited.parameter.address;
    job_.value = value;
    job_.sentBefore = link_.writesSent();
    edited.bold = true;
    edited.cells[kColValue] = QString::number(value);
    id_ = job_.address;
    val_ = value;
    outcomeText_.clear();
    // An acknowledgement left from the previous write would end this one before its
    // request is sent, and a read answer left over would pass for the read-back.
    link_.clearAnswers();
    enter(Mode::Writing);
    Update_EEPROM_State_Machine();
}

void HpuEepromEditor::writeStep() {
    if (link_.reponseecritureHPU()) {
        job_.acknowledged = true;
        // The read-back must show what the HPU holds after the write, not a read answer
        // that arrived before it.
        link_.clearAnswers();
        enter(Mode::ReadingBack);
        askRead();
        progressValue_ = 50;
    } else {
        link_.ecritureEEPROM_HPU(id_, val_);
        progressValue_ += 10;
    }
}

void HpuEepromEditor::readBackStep() {
    if (mode_ == Mode::Cancelling && !job_.acknowledged && link_.reponseecritureHPU())
        job_.acknowledged = true; // the write already on the line was heard after all
    if (link_.reponseHPU()) {
        progressValue_ = 100;
        refreshWindow_HPU();
        incompleteAnswer_ = false;
        const qint64 held = fields_.valueAtAddress(job_.address);
        if (held == job_.value)
            finishWrite(Outcome::Verified, held);
        else
            finishWrite(job_.acknowledged ? Outcome::HeldOther : Outcome::NotWritten, held);
        return;
    }
    incompleteAnswer_ = incompleteAnswer_ || link_.incompleteAnswer();
    if (mode_ == Mode::Cancelling) {
        job_.cancelMs += kPeriodMs;
        if (!link_.isLineUp() || job_.cancelMs > kCancelReadBackMs) {
            finishWrite(Outcome::NotConfirmed, -1);
            return;
        }
    }
    askRead();
    progressValue_ += 10;
}

bool HpuEepromEditor::writeOnLine() const {
    return job_.acknowledged || link_.reponseecritureHPU() || link_.writesSent() > job_.sentBefore;
}

void HpuEepromEditor::cancel() {
    switch (mode_) {
    case Mode::Writing:
        link_.withdraw();
        if (restore_) {
            restore_->cancelled = true;
            for (const auto& write : restore_->pending)
                restore_->notWritten.append(write.first);
            restore_->pending.clear();
        }
        if (writeOnLine()) {
            job_.acknowledged = job_.acknowledged || link_.reponseecritureHPU();
            link_.clearAnswers();
            enter(Mode::Cancelling);
        } else {
            finishWrite(Outcome::NotWritten, -1);
        }
        break;
    case Mode::ReadingBack:
        if (restore_) {
            restore_->cancelled = true;
            for (const auto& write : restore_->pending)
                restore_->notWritten.append(write.first);
            restore_->pending.clear();
        }
        enter(Mode::Cancelling);
        break;
    case Mode::Cancelling:
        link_.withdraw();
        finishWrite(Outcome::NotConfirmed, -1);
        break;
    case Mode::Ready:
        endCompare();
        return;
    case Mode::Reading:
    case Mode::Editing:
    case Mode::Closed:
        return;
    }
    emit changed();
}

// The write of job_ has ended: its account, then the next parameter of a restore or Ready.
void HpuEepromEditor::finishWrite(Outcome outcome, qint64 held) {
    link_.withdraw(); // a repetition not yet sent is no longer wanted
    const bool cancelled = mode_ == Mode::Cancelling || (restore_ && restore_->cancelled) ||
                           outcome == Outcome::NotWritten || outcome == Outcome::NotConfirmed;
    const QString name = describe(job_.address);
    if (outcome != Outcome::Verified && job_.row >= 0) {
        EepromListRow& row = list_.rows[job_.row];
        row.bold = false;
        if (outcome == Outcome::NotWritten || outcome == Outcome::NotConfirmed) {
            // Without a read-back the row keeps what the HPU last showed, never the typed value.
            row.cells[kColValue] = job_.previous;
        }
    }
    if (outcome == Outcome::NotWritten || outcome == Outcome::NotConfirmed) {
        progressValue_ = 0;
        progressBar_ = 0;
    }
    if (restore_) {
        switch (outcome) {
        case Outcome::Verified:
            restore_->verified.append(job_.address);
            break;
        case Outcome::HeldOther:
            restore_->heldOther.append(QStringLiteral("\"%1\" (HPU %2)").arg(name).arg(held));
            break;
        case Outcome::NotWritten:
            restore_->notWritten.prepend(job_.address);
            break;
        case Outcome::NotConfirmed:
            restore_->notConfirmed = job_.address;
            break;
        }
        job_ = WriteJob{};
        enter(Mode::Ready);
        if (outcome != Outcome::NotWritten && outcome != Outcome::NotConfirmed &&
            fields_.SYS_NoCarte != restore_->board) {
            continueRestore(tr("the HPU's board number changed from %1 to %2")
                                .arg(restore_->board)
                                .arg(fields_.SYS_NoCarte));
            return;
        }
        continueRestore(QString());
        return;
    }

    QString report;
    switch (outcome) {
    case Outcome::Verified:
        outcomeText_ = tr("\"%1\" written and read back.").arg(name);
        if (cancelled)
            report = tr("Cancelled: \"%1\" was written and verified.").arg(name);
        break;
    case Outcome::HeldOther:
        outcomeText_ = tr("\"%1\" written, but the HPU holds %2.").arg(name).arg(held);
        report = outcomeText_;
        break;
    case Outcome::NotWritten:
        outcomeText_ = tr("\"%1\" not written.").arg(name);
        report = tr("Cancelled: \"%1\" was not written.").arg(name);
        break;
    case Outcome::NotConfirmed:
        outcomeText_ = tr("\"%1\" not confirmed.").arg(name);
        report = tr("Cancelled: \"%1\" is not confirmed: the HPU did not answer the read-back. Close and "
                    "reopen the window to read what the HPU holds.")
                     .arg(name);
        break;
    }
    job_ = WriteJob{};
    enter(Mode::Ready);
    if (!report.isEmpty())
        emit writeEnded(report);
}

// --- Backup, compare, restore ---

bool HpuEepromEditor::canSave() const {
    return mode_ == Mode::Ready && !restore_;
}

EepromBackup HpuEepromEditor::backup(const QString& toolVersion, const QDateTime& utc) const {
    EepromBackup backup;
    backup.toolVersion = toolVersion;
    backup.savedAtUtc = utc.toUTC();
    backup.boardNumber = fields_.SYS_NoCarte;
    backup.softwareVersion = fields_.SYS_VersionSoft;
    for (const EepromListRow& row : list_.rows) {
        EepromBackupParameter p;
        p.address = row.parameter.address;
        p.identifier = row.parameter.identifier;
        p.description = row.parameter.description;
        p.raw = fields_.valueAtAddress(p.address);
        p.physical = row.cells[kColRealValue];
        p.unit = row.parameter.unit;
        backup.parameters.append(p);
    }
    return backup;
}

bool HpuEepromEditor::compareWith(const EepromBackup& file) {
    if (!canSave())
        return false;
    file_ = file;
    updateComparison();
    emit changed();
    return true;
}

void HpuEepromEditor::endCompare() {
    if (restore_)
        return;
    file_.reset();
    updateComparison();
    emit changed();
}

void HpuEepromEditor::updateComparison() {
    list_.comparing = file_.has_value();
    for (EepromListRow& row : list_.rows) {
        row.fileValue.clear();
        row.differs = false;
        if (!file_)
            continue;
        const qint64 address = row.parameter.address;
        for (const EepromBackupParameter& p : file_->parameters) {
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
            addresses.append(row.parameter.address);
    return addresses;
}

int HpuEepromEditor::rowOfAddress(qint64 address) const {
    for (int r = 0; r < list_.rows.size(); ++r)
        if (list_.rows[r].parameter.address == address)
            return r;
    return -1;
}

QString HpuEepromEditor::describe(qint64 address) const {
    const int row = rowOfAddress(address);
    return row < 0 ? QString::number(address) : list_.rows[row].parameter.description;
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
    if (!file_ || !canSave())
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
        const EepromParameter& parameter = row.parameter;
        lines.append(tr("  %1: %2 -> %3").arg(parameter.description, row.cells[kColValue]).arg(value));
        if (value < parameter.min || value > parameter.max)
            outside.append(tr("  %1: %2 is outside %3 to %4")
                               .arg(parameter.description)
                               .arg(value)
                               .arg(parameter.min)
                               .arg(parameter.max));
    }
    const QString header = writes.size() == 1
                               ? tr("Write 1 parameter from the file to the HPU?")
                               : tr("Write %1 parameters from the file to the HPU?").arg(writes.size());
    QString question = header + QLatin1Char('\n') + lines.join(QLatin1Char('\n'));
    if (!outside.isEmpty())
        question += QLatin1String("\n\n") + tr("Outside the parameter's range:") + QLatin1Char('\n') +
                    outside.join(QLatin1Char('\n'));
    // A file that does not say which HPU it came from is as doubtful as one from another.
    if (file_->boardNumber < 0)
        question += QLatin1String("\n\n") +
                    tr("The file does not say which HPU board it was saved from; this HPU is board %1.")
                        .arg(fields_.SYS_NoCarte);
    else if (file_->boardNumber != fields_.SYS_NoCarte)
        question += QLatin1String("\n\n") + tr("The file was saved from HPU board %1; this HPU is board %2.")
                                                .arg(file_->boardNumber)
                                                .arg(fields_.SYS_NoCarte);
    if (file_->softwareVersion < 0)
        question +=
            QLatin1String("\n\n") +
            tr("The file does not say which HPU software version it was saved from; this HPU runs %1.")
                .arg(fields_.SYS_VersionSoft);
    else if (file_->softwareVersion != fields_.SYS_VersionSoft)
        question +=
            QLatin1String("\n\n") + tr("The file was saved from HPU software version %1; this HPU runs %2.")
                                        .arg(file_->softwareVersion)
                                        .arg(fields_.SYS_VersionSoft);
    if (!prompts_.confirm(question) || !canSave())
        return false;

    restore_ = RestorePlan{};
    restore_->pending = writes;
    restore_->board = fields_.SYS_NoCarte;
    continueRestore(QString());
    emit changed();
    return true;
}

// The next parameter of the restore, or its end with the account. stoppedBecause, when not
// empty, ends it early.
void HpuEepromEditor::continueRestore(const QString& stoppedBecause) {
    RestorePlan& plan = *restore_;
    if (stoppedBecause.isEmpty() && !plan.cancelled && !plan.pending.isEmpty()) {
        const QPair<qint64, qint64> next = plan.pending.takeFirst();
        plan.silentMs = 0;
        progressValue_ = 0;
        startWrite(rowOfAddress(next.first), next.second);
        return;
    }
    for (const auto& write : plan.pending)
        plan.notWritten.append(write.first);
    plan.pending.clear();

    QString report;
    if (!stoppedBecause.isEmpty() || plan.cancelled) {
        report = plan.cancelled ? tr("Restore cancelled.") : tr("Restore stopped: %1.").arg(stoppedBecause);
        report += QLatin1Char(' ') + tr("Written and read back: %1.").arg(describeList(plan.verified));
        if (!plan.heldOther.isEmpty())
            report += QLatin1Char(' ') + tr("Written, but the HPU holds another value: %1.")
                                             .arg(plan.heldOther.join(QStringLiteral(", ")));
        if (plan.notConfirmed >= 0)
            report += QLatin1Char(' ') + tr("Not confirmed: \"%1\" (close and reopen the window to read what "
                                            "the HPU holds).")
                                             .arg(describe(plan.notConfirmed));
        report += QLatin1Char(' ') + tr("Not written: %1.").arg(describeList(plan.notWritten));
    } else {
        // Every parameter of the file, written or not, is compared with the last read-back.
        QStringList differing;
        for (const EepromBackupParameter& p : file_->parameters) {
            const qint64 held = fields_.valueAtAddress(p.address);
            if (held != p.raw)
                differing.append(tr("  %1: HPU %2, file %3").arg(describe(p.address)).arg(held).arg(p.raw));
        }
        const int count = int(plan.verified.size() + plan.heldOther.size());
        const QString written =
            count == 1 ? tr("1 parameter written") : tr("%1 parameters written").arg(count);
        if (differing.isEmpty())
            report = tr("%1, all verified").arg(written);
        else
            report = tr("%1; these differ from the file:").arg(written) + QLatin1Char('\n') +
                     differing.join(QLatin1Char('\n'));
    }
    restore_.reset();
    if (mode_ != Mode::Ready)
        enter(Mode::Ready);
    updateComparison();
    emit restoreEnded(report);
}

void HpuEepromEditor::watchRestore() {
    restore_->silentMs += kPeriodMs;
    QString why;
    if (!link_.isLineUp())
        why = tr("the connection was lost");
    else if (restore_->silentMs >= kRestoreSilenceMs)
        why = tr("the HPU did not answer");
    if (why.isEmpty())
        return;
    // The sequencer stops: no request is repeated once the restore has ended.
    link_.withdraw();
    link_.clearAnswers();
    if (writeOnLine())
        restore_->notConfirmed = job_.address;
    else
        restore_->notWritten.prepend(job_.address);
    if (job_.row >= 0) {
        list_.rows[job_.row].bold = false;
        list_.rows[job_.row].cells[kColValue] = job_.previous;
    }
    job_ = WriteJob{};
    progressValue_ = 0;
    progressBar_ = 0;
    timer1_->setMode(Timer::Off);
    enter(Mode::Ready);
    continueRestore(why);
}
