#include "eeprom/ui/WindowHPU.h"

#include "core/ProgramClock.h"
#include "core/ui/ReturnOnlyDelegate.h"
#include "eeprom/ColumnWidths.h"
#include "eeprom/EepromBackup.h"
#include "eeprom/EepromLink.h"
#include "eeprom/EepromPrompts.h"

#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

namespace {

const QColor kDifferingRow(255, 214, 153); // a row whose file value differs from the HPU's

QString backupFilter() {
    return WindowHPU::tr("HPU backup (*.json)");
}

} // namespace

WindowHPU::WindowHPU(EepromLink& link, TimerFactory& timers, EepromPrompts& prompts, QWidget* parent)
    : QDialog(parent)
    , prompts_(prompts)
    , editor_(link, timers, prompts)
    , list_(new QTableWidget(this))
    , delegate_(new ReturnOnlyDelegate(list_))
    , progressBar_(new QProgressBar(this))
    , saveButton_(new QPushButton(tr("Save to file…"), this))
    , loadButton_(new QPushButton(tr("Load from file…"), this))
    , writeDifferencesButton_(new QPushButton(tr("Write differences"), this))
    , cancelButton_(new QPushButton(tr("Cancel"), this))
    , statusLine_(new QLabel(this)) {
    setWindowTitle(tr("HPU EEPROM"));
    resize(600, 400);
    setSizeGripEnabled(true);

    const EepromListModel& model = editor_.listModel();
    list_->setObjectName(QStringLiteral("Listbox_EEPROM"));
    list_->setGeometry(20, 20, 560, 328);
    list_->setColumnCount(kEepromColumnCount + 1);
    list_->setRowCount(int(model.rows.size()));
    list_->setHorizontalHeaderLabels(model.heading + QStringList{tr("File value")});
    list_->verticalHeader()->hide();
    list_->setShowGrid(true);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Only the click opens an editor, and only on the Value cell of the clicked row.
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setItemDelegateForColumn(kColValue, delegate_);
    for (int r = 0; r < list_->rowCount(); ++r) {
        for (int c = 0; c < list_->columnCount(); ++c) {
            auto* item = new QTableWidgetItem;
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (c == kColValue)
                flags |= Qt::ItemIsEditable;
            item->setFlags(flags);
            if (c == kColDescribtion)
                item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            list_->setItem(r, c, item);
        }
    }
    list_->viewport()->installEventFilter(this);

    progressBar_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar_->setGeometry(213, 360, 174, 20);
    progressBar_->setRange(0, HpuEepromEditor::kProgressMaximum);
    progressBar_->setValue(0);

    // Beside the progress bar: the backup on its left, the restore on its right.
    saveButton_->setGeometry(20, 356, 94, 28);
    loadButton_->setGeometry(116, 356, 94, 28);
    writeDifferencesButton_->setGeometry(390, 356, 110, 28);
    cancelButton_->setGeometry(502, 356, 78, 28);
    // Under the buttons: what the window waits for, or how the last write ended.
    statusLine_->setObjectName(QStringLiteral("StatusLine"));
    statusLine_->setGeometry(20, 384, 560, 16);
    for (QPushButton* button : {saveButton_, loadButton_, writeDifferencesButton_, cancelButton_})
        button->setAutoDefault(false); // Return belongs to the Value cell's editor

    connect(list_, &QTableWidget::cellClicked, this, &WindowHPU::cellClicked);
    // The row being edited is this window's to know (editingRow_): a close withdraws it.
    connect(delegate_, &ReturnOnlyDelegate::entered, this,
            [this](int, const QString& text) { valueEntered(text); });
    connect(saveButton_, &QPushButton::clicked, this, &WindowHPU::saveToFile);
    connect(loadButton_, &QPushButton::clicked, this, &WindowHPU::loadFromFile);
    connect(writeDifferencesButton_, &QPushButton::clicked, &editor_, &HpuEepromEditor::writeDifferences);
    connect(cancelButton_, &QPushButton::clicked, this, &WindowHPU::cancel);
    connect(&editor_, &HpuEepromEditor::changed, this, &WindowHPU::render);
    // Told once the tick that ended the write or the restore has returned.
    connect(&editor_, &HpuEepromEditor::restoreEnded, this, &WindowHPU::tell, Qt::QueuedConnection);
    connect(&editor_, &HpuEepromEditor::writeEnded, this, &WindowHPU::tell, Qt::QueuedConnection);
    applyColumnWidths();
    render();
}

WindowHPU::~WindowHPU() {
    disconnect(delegate_, nullptr, this, nullptr);
    editor_.close();
}

void WindowHPU::setBackups(const WallClock& clock, const QString& folder) {
    clock_ = &clock;
    backupFolder_ = folder;
    render();
}

void WindowHPU::adopt(std::unique_ptr<EepromLink> link, std::unique_ptr<EepromPrompts> prompts) {
    ownedLink_ = std::move(link);
    ownedPrompts_ = std::move(prompts);
}

void WindowHPU::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!opened_) {
        opened_ = true;
        editor_.open();
    }
}

void WindowHPU::reject() {
    if (!editor_.isBusy()) {
        QDialog::reject();
        return;
    }
    // The exchange in progress is finished first; its account closes the window.
    closeWhenEnded_ = true;
    editor_.cancel();
}

void WindowHPU::tell(const QString& report) {
    prompts_.inform(report);
    if (closeWhenEnded_ && !editor_.isBusy()) {
        closeWhenEnded_ = false;
        QDialog::reject();
    }
}

void WindowHPU::done(int result) {
    // Closing abandons an edit in progress rather than writing it.
    editingRow_ = -1;
    editor_.close();
    QDialog::done(result);
}

bool WindowHPU::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::Resize)
        applyColumnWidths();
    return QDialog::eventFilter(watched, event);
}

void WindowHPU::applyColumnWidths() {
    const char* widthList = editor_.listModel().comparing ? kCompareColumnWidths : kColumnWidths;
    const int columns = list_->columnCount();
    const QVector<int> widths =
        columnWidthsFromList(QLatin1String(widthList), list_->viewport()->width(), columns);
    for (int c = 0; c < columns; ++c) {
        list_->setColumnHidden(c, widths[c] == 0);
        if (widths[c] > 0)
            list_->setColumnWidth(c, widths[c]);
    }
}

void WindowHPU::render() {
    const EepromListModel& model = editor_.listModel();
    if (list_->isColumnHidden(kColFileValue) == model.comparing)
        applyColumnWidths();
    for (int r = 0; r < model.rows.size() && r < list_->rowCount(); ++r) {
        const EepromListRow& row = model.rows[r];
        for (int c = 0; c < list_->columnCount(); ++c) {
            QTableWidgetItem* item = list_->item(r, c);
            const QString text = c == kColFileValue ? row.fileValue : row.cells.value(c);
            // Only what changed is touched, so a timer tick never disturbs an open editor.
            if (item->text() != text)
                item->setText(text);
            if (item->font().bold() != row.isBold(c)) {
                QFont font = item->font();
                font.setBold(row.isBold(c));
                item->setFont(font);
            }
            const QBrush background = row.differs ? QBrush(kDifferingRow) : QBrush();
            if (item->background() != background)
                item->setBackground(background);
        }
    }
    list_->setEnabled(model.enabled);
    progressBar_->setValue(editor_.ProgressBar1());
    const QString status = editor_.statusText();
    if (statusLine_->text() != status)
        statusLine_->setText(status);

    const bool idle = editor_.canSave();
    saveButton_->setEnabled(clock_ && idle);
    loadButton_->setEnabled(clock_ && idle);
    writeDifferencesButton_->setEnabled(model.comparing && idle && !editor_.differences().isEmpty());
    cancelButton_->setEnabled(editor_.isBusy() || (model.comparing && idle));
}

void WindowHPU::cellClicked(int row, int column) {
    const int editRow = editor_.Listbox_EEPROM_CellClick(row, column);
    if (editRow < 0)
        return;
    editingRow_ = editRow;
    list_->editItem(list_->item(editRow, kColValue));
}

void WindowHPU::valueEntered(const QString& text) {
    const int row = editingRow_;
    editingRow_ = -1;
    if (row < 0 || !editor_.takeEdit(row, text))
        return;
    // The check may open a message box: it runs from the event loop, once the item editor
    // and the key press that closed it are done with.
    QMetaObject::invokeMethod(
        this, [this] { editor_.writeTakenEdit(); }, Qt::QueuedConnection);
}

void WindowHPU::saveToFile() {
    if (!clock_ || !editor_.canSave())
        return;
    const QDateTime now = clock_->now().toUTC();
    const EepromBackup backup = editor_.backup(EepromBackup::currentToolVersion(), now);
    const QString suggested =
        QDir(backupFolder_).filePath(EepromBackup::defaultFileName(backup.boardNumber, now));
    const QString path = QFileDialog::getSaveFileName(this, tr("Save HPU backup"), suggested, backupFilter());
    if (path.isEmpty())
        return; // cancelled
    const QString error = writeEepromBackupFile(path, backup);
    if (!error.isEmpty())
        prompts_.refuse(error);
}

void WindowHPU::loadFromFile() {
    if (!clock_ || !editor_.canSave())
        return;
    const QString path =
        QFileDialog::getOpenFileName(this, tr("Load HPU backup"), backupFolder_, backupFilter());
    if (path.isEmpty())
        return; // cancelled
    const EepromBackupReading reading = readEepromBackupFile(path);
    if (!reading.ok) {
        prompts_.refuse(tr("%1\nNothing was sent to the HPU.").arg(reading.error));
        return;
    }
    editor_.compareWith(reading.backup);
}

void WindowHPU::cancel() {
    editor_.cancel(); // a write or restore under way, else the compare view
}
