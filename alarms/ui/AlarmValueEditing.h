#pragma once

#include <QStyledItemDelegate>

// The item editor of the alarm window's value cells. Only Return commits what was typed, and
// only when it is a number in the user's locale; Escape, Tab and a loss of focus close the
// editor and the cell keeps its previous value. A refused text is reported once the editor
// has closed, so that whatever the window shows about it never runs inside the editor's commit.
class AlarmValueEditing : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit AlarmValueEditing(QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    // Reached by every commit the view makes; writes only during a commit by Return.
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

    // Closes an open editor without taking its text, as Escape does.
    void discard(QWidget* editor);

signals:
    // Queued: the editor of this row has already closed, and the cell shows its previous value.
    void refused(int row, const QString& typed);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    void commitOrRefuse(QWidget* editor);
    bool focusLeftEditor(QWidget* editor) const;

    bool committingByReturn_ = false;
};
