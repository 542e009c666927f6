#include "core/ui/ReturnOnlyDelegate.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace {

const char* const kRowProperty = "returnOnlyRow";

} // namespace

QWidget* ReturnOnlyDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                          const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (editor)
        editor->setProperty(kRowProperty, index.row());
    return editor;
}

void ReturnOnlyDelegate::setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const {
    // A lost focus commits in QStyledItemDelegate; here it must change nothing.
}

bool ReturnOnlyDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<QLineEdit*>(object);
    if (editor && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            const QString text = editor->text();
            const int row = editor->property(kRowProperty).toInt();
            // The view releases the editor (deleted later) before anyone sees the text.
            emit closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
            emit entered(row, text);
            return true; // consumed: Return does not also press the window's default button
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
