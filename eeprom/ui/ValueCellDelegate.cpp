#include "eeprom/ui/ValueCellDelegate.h"

#include <QKeyEvent>
#include <QLineEdit>

void ValueCellDelegate::setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const {
    // A lost focus commits in QStyledItemDelegate; here it must change nothing.
}

bool ValueCellDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<QLineEdit*>(object);
    if (editor && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            const QString text = editor->text();
            // The view releases the editor (deleted later) before anyone sees the text.
            emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
            emit entered(text);
            return true;
        }
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            // No moving on to another cell's editor: the edit is abandoned.
            emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
            return true;
        default:
            break;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}
