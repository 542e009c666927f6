#pragma once

#include <QStyledItemDelegate>

// The item editor of the EEPROM list's Value cell. Only Return or Enter hands the typed
// text on (entered); Escape, Tab, a click elsewhere, another window or closing the window
// abandon the edit, and the view keeps the value it showed. Nothing is ever written into
// the item by the editor: what the cell shows comes from the HPU's answer.
class ValueCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

signals:
    // Emitted after the editor has been closed, so that what follows (a question, a
    // refusal) never runs inside the editor's own event handling.
    void entered(const QString& text);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
};
