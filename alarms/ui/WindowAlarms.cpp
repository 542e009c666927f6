#include "alarms/ui/WindowAlarms.h"

#include "alarms/AlarmSettingInput.h"
#include "alarms/AlarmSettingsStore.h"
#include "core/Captions.h"
#include "core/NumberMask.h"
#include "core/ui/ReturnOnlyDelegate.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 324;
constexpr int kValueColumn = 1;

} // namespace

WindowAlarms::WindowAlarms(AlarmSettingsStore& settings, QWidget* parent)
    : QDialog(parent)
    , settings_(settings)
    , Listbox_Alarms_(new QTableWidget(this))
    , valueEditing_(new ReturnOnlyDelegate(this))
    , PushButton1_(new QPushButton(tr("OK"), this)) {
    setObjectName(QStringLiteral("WindowAlarms"));
    setWindowTitle(App::text(App::Caption::kAlarmsTitle));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMinMaxButtonsHint);
    setFixedSize(kWidth, kHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // Listbox_Alarms: one row per setting, captions and values from App.kAlarmsTab.
    Listbox_Alarms_->setObjectName(QStringLiteral("Listbox_Alarms"));
    Listbox_Alarms_->setGeometry(20, 20, 560, 240);
    Listbox_Alarms_->setColumnCount(2);
    Listbox_Alarms_->horizontalHeader()->hide();
    Listbox_Alarms_->verticalHeader()->hide();
    Listbox_Alarms_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Listbox_Alarms_->verticalHeader()->setDefaultSectionSize(30);
    Listbox_Alarms_->setColumnWidth(0, 560 * 80 / 100);
    Listbox_Alarms_->setColumnWidth(1, 560 * 20 / 100);
    Listbox_Alarms_->setShowGrid(true);
    Listbox_Alarms_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Listbox_Alarms_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Listbox_Alarms_->setSelectionMode(QAbstractItemView::SingleSelection);
    Listbox_Alarms_->setSelectionBehavior(QAbstractItemView::SelectRows);
    Listbox_Alarms_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    const QStringList rows = App::text(App::Caption::kAlarmsTab).split(QLatin1Char('\n'));
    Listbox_Alarms_->setRowCount(rows.size());
    for (int row = 0; row < rows.size(); ++row) {
        const QStringList cells = rows.at(row).split(QLatin1Char('\t'));
        for (int column = 0; column < 2; ++column) {
            auto* item = new QTableWidgetItem(cells.value(column));
            if (column != kValueColumn)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            Listbox_Alarms_->setItem(row, column, item);
        }
    }
    Listbox_Alarms_->setItemDelegateForColumn(kValueColumn, valueEditing_);
    connect(valueEditing_, &ReturnOnlyDelegate::entered, this, &WindowAlarms::valueEntered);
    // A click on either cell of a row edits that row's value.
    connect(Listbox_Alarms_, &QTableWidget::cellClicked, this, [this](int row, int) { editValueOfRow(row); });

    PushButton1_->setObjectName(QStringLiteral("PushButton1"));
    PushButton1_->setGeometry(231, 281, 138, 23);
    PushButton1_->setDefault(true);
    connect(PushButton1_, &QPushButton::clicked, this, &QDialog::accept);

    showStoredValues();
}

void WindowAlarms::showStoredValues() {
    // Show what the file holds, not what memory holds.
    const AlarmSettingValues s = settings_.readStoredAlarmSettings();
    const QString values[kRows] = {
        formatMask(s.ValeurAlarmeUin, QStringLiteral("0.0")),
        formatMask(double(s.ValeurAlarmeRPM), QStringLiteral("0")),
        formatMask(s.ValeurAlarmeTemp, QStringLiteral("0.0")),
        formatMask(s.ValeurHautePression, QStringLiteral("0.0")),
        formatMask(double(s.ValeurModeCalage), QStringLiteral("0")),
        formatMask(double(s.VolumeAlarmeHydro), QStringLiteral("0")),
    };
    for (int row = 0; row < kRows && row < Listbox_Alarms_->rowCount(); ++row)
        Listbox_Alarms_->item(row, kValueColumn)->setText(values[row]);
}

void WindowAlarms::editValueOfRow(int row) {
    QTableWidgetItem* value = Listbox_Alarms_->item(row, kValueColumn);
    if (!value)
        return;
    Listbox_Alarms_->setCurrentItem(value);
    Listbox_Alarms_->editItem(value);
}

void WindowAlarms::valueEntered(int row, const QString& typed) {
    QTableWidgetItem* value = Listbox_Alarms_->item(row, kValueColumn);
    if (!value)
        return;
    if (parseTypedAlarmSetting(typed)) {
        value->setText(typed); // shown as typed; the file gets it in its mask on closing
        return;
    }
    // The message box runs from the event loop, once the item editor and the key press that
    // closed it are done with.
    QMetaObject::invokeMethod(
        this, [this, row, typed] { tellRefused(row, typed); }, Qt::QueuedConnection);
}

void WindowAlarms::tellRefused(int row, const QString& typed) {
    const QTableWidgetItem* caption = Listbox_Alarms_->item(row, 0);
    settings_.notifier().showMessage(
        refusedAlarmSettingMessage(caption ? caption->text() : QString(), typed));
}

void WindowAlarms::done(int result) {
    // A value still being typed was never handed over, so it is dropped: the list holds
    // only what Return or Enter entered.
    storeValues(); // a failure to write is told to the user; the values stay in force
    QDialog::done(result);
}

void WindowAlarms::storeValues() {
    AlarmSettingValues s;
    const auto text = [this](int row) {
        const QTableWidgetItem* item = Listbox_Alarms_->item(row, kValueColumn);
        return item ? item->text() : QString();
    };
    s.ValeurAlarmeUin = parseLocaleNumber(text(0));
    s.ValeurAlarmeRPM = parseLocaleInteger(text(1));
    s.ValeurAlarmeTemp = parseLocaleNumber(text(2));
    s.ValeurHautePression = parseLocaleNumber(text(3));
    s.ValeurModeCalage = parseLocaleInteger(text(4));
    s.VolumeAlarmeHydro = parseLocaleInteger(text(5));
    settings_.keepAlarmSettings(s);
}
