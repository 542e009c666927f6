#include "alarms/ui/AlarmValueEditing.h"

#include "alarms/AlarmSettingInput.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

const char* const kRowProperty = "alarmSettingRow";

} // namespace

AlarmValueEditing::AlarmValueEditing(QObject* parent)
    : QStyledItemDelegate(parent) {}

QWidget* AlarmValueEditing::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (editor)
        editor->setProperty(kRowProperty, index.row());
    return editor;
}

void AlarmValueEditing::setModelData(QWidget* editor, QAbstractItemModel* model,
                                     const QModelIndex& index) const {
    // The view also commits when the current cell changes or the editor is closed from
    // outside; those commits are ignored, so the cell keeps its previous value.
    if (committingByReturn_)
        QStyledItemDelegate::setModelData(editor, model, index);
}

void AlarmValueEditing::discard(QWidget* editor) {
    if (editor)
        emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

bool AlarmValueEditing::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<QWidget*>(object);
    if (!editor)
        return QStyledItemDelegate::eventFilter(object, event);

    if (event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            commitOrRefuse(editor);
            return true; // consumed: Return does not also press the window's default button
        case Qt::Key_Escape:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            discard(editor);
            return true;
        default:
            break;
        }
    } else if (event->type() == QEvent::FocusOut) {
        // The base editor would commit here; leaving the cell keeps the previous value.
        if (focusLeftEditor(editor))
            discard(editor);
        return false;
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

bool AlarmValueEditing::focusLeftEditor(QWidget* editor) const {
    if (!editor->isActiveWindow())
        return true;
    for (QWidget* focused = QApplication::focusWidget(); focused; focused = focused->parentWidget())
        if (focused == editor)
            return false; // focus moved inside the editor
    return true;
}

void AlarmValueEditing::commitOrRefuse(QWidget* editor) {
    auto* line = qobject_cast<QLineEdit*>(editor);
    const QString typed = line ? line->text() : QString();
    if (parseTypedAlarmSetting(typed)) {
        committingByReturn_ = true;
        emit commitData(editor);
        committingByReturn_ = false;
        emit closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
        return;
    }
    const int row = editor->property(kRowProperty).toInt();
    discard(editor);
    // The editor is closing now; the report waits until control is back in the event loop.
    QMetaObject::invokeMethod(
        this, [this, row, typed] { emit refused(row, typed); }, Qt::QueuedConnection);
}
