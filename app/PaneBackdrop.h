#pragma once

#include <QObject>

class QTabWidget;
class QWidget;

// Paints a tab page with a copy of what lies beneath it (the window's background and the tab
// pane as the style draws them), which makes the page opaque: a value label that changes then
// repaints itself and the page, not the tab widget and the window under every label. The copy
// follows the page's size and the tab widget's palette and style.
class PaneBackdrop : public QObject {
    Q_OBJECT
public:
    PaneBackdrop(QTabWidget* tabs, QWidget* page);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void copyPane();

    QTabWidget* tabs_;
    QWidget* page_;
    bool copying_ = false;
};
