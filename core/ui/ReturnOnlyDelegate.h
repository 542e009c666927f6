#pragma once

#include <QStyledItemDelegate>

// An item editor that hands on what was typed only when Return or Enter is pressed (entered).
// Escape, Tab, a click elsewhere, another window or closing the window abandon the edit, and
// the view keeps the value it showed. Nothing is ever written into the model by the editor:
// what the cell shows next is its owner's choice.
class ReturnOnlyDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

signals:
    // Emitted after the editor of this row has been closed, so that what follows (a question,
    // a refusal) never runs inside the editor's own event handling.
    void entered(int row, const QString& text);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;
};
