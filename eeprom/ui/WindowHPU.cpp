#include "eeprom/ui/WindowHPU.h"

#include "eeprom/ColumnWidths.h"
#include "eeprom/EepromLink.h"
#include "eeprom/EepromPrompts.h"

#include <QAbstractItemDelegate>
#include <QEvent>
#include <QHeaderView>
#include <QProgressBar>
#include <QTableWidget>

WindowHPU::WindowHPU(EepromLink& link, TimerFactory& timers, EepromPrompts& prompts, QWidget* parent)
    : QDialog(parent)
    , editor_(link, timers, prompts)
    , list_(new QTableWidget(this))
    , progressBar_(new QProgressBar(this)) {
    setWindowTitle(tr("HPU EEPROM"));
    resize(600, 400);
    setSizeGripEnabled(true);

    const EepromListModel& model = editor_.listModel();
    list_->setObjectName(QStringLiteral("Listbox_EEPROM"));
    list_->setGeometry(20, 20, 560, 328);
    list_->setColumnCount(kEepromColumnCount);
    list_->setRowCount(int(model.rows.size()));
    list_->setHorizontalHeaderLabels(model.heading);
    list_->verticalHeader()->hide();
    list_->setShowGrid(true);
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    // Only the click opens an editor, and only on the Value cell of the clicked row.
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int r = 0; r < list_->rowCount(); ++r) {
        for (int c = 0; c < kEepromColumnCount; ++c) {
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
    applyColumnWidths();

    progressBar_->setObjectName(QStringLiteral("ProgressBar1"));
    progressBar_->setGeometry(213, 360, 174, 20);
    progressBar_->setRange(0, HpuEepromEditor::kProgressMaximum);
    progressBar_->setValue(0);

    connect(list_, &QTableWidget::cellClicked, this, &WindowHPU::cellClicked);
    // The view stores the editor's text in the item first (it connected earlier), then this
    // reads it: the commit of the inline edit.
    connect(list_->itemDelegate(), &QAbstractItemDelegate::commitData, this, &WindowHPU::editCommitted);
    connect(&editor_, &HpuEepromEditor::changed, this, &WindowHPU::render);
    render();
}

WindowHPU::~WindowHPU() {
    // Hiding the window moves the focus out of an open editor, which would commit it.
    disconnect(list_->itemDelegate(), nullptr, this, nullptr);
    editor_.close();
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
    const QVector<int> widths =
        columnWidthsFromList(QLatin1String(kColumnWidths), list_->viewport()->width(), kEepromColumnCount);
    for (int c = 0; c < kEepromColumnCount; ++c) {
        list_->setColumnHidden(c, widths[c] == 0);
        if (widths[c] > 0)
            list_->setColumnWidth(c, widths[c]);
    }
}

void WindowHPU::render() {
    const EepromListModel& model = editor_.listModel();
    for (int r = 0; r < model.rows.size() && r < list_->rowCount(); ++r) {
        const EepromListRow& row = model.rows[r];
        for (int c = 0; c < kEepromColumnCount; ++c) {
            QTableWidgetItem* item = list_->item(r, c);
            // Only what changed is touched, so a timer tick never disturbs an open editor.
            if (item->text() != row.cells.value(c))
                item->setText(row.cells.value(c));
            if (item->font().bold() != row.isBold(c)) {
                QFont font = item->font();
                font.setBold(row.isBold(c));
                item->setFont(font);
            }
        }
    }
    list_->setEnabled(model.enabled);
    progressBar_->setValue(editor_.ProgressBar1());
}

void WindowHPU::cellClicked(int row, int column) {
    const int editRow = editor_.Listbox_EEPROM_CellClick(row, column);
    if (editRow < 0)
        return;
    editingRow_ = editRow;
    list_->editItem(list_->item(editRow, kColValue));
}

void WindowHPU::editCommitted() {
    // Taken once: a message box shown by the commit moves the focus out of the editor,
    // which commits the same edit again.
    const int row = editingRow_;
    editingRow_ = -1;
    if (row < 0)
        return;
    editor_.Listbox_EEPROM_CellAction(row, list_->item(row, kColValue)->text());
    render(); // a refused value is restored
}
