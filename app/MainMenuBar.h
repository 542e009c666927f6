#pragma once

#include <QKeySequence>
#include <QMenuBar>

// MainMenuBar: File, Edit, View, Alarmes and HPU, each menu and item found by its name
// (FileMenu / FileOpenLog, FileRecordBus, FileQuit, EditMenu / EditUndo ..., ViewMenu / ViewTrends,
// AlarmesMenu / Alarmes, HPUMenu / HPUEEPROM).
// The Edit items are the platform's standard editing commands on the focused text control;
// the window that owns the bar connects the others.
class MainMenuBar : public QMenuBar {
    Q_OBJECT
public:
    explicit MainMenuBar(QWidget* parent = nullptr);

    QMenu* menuNamed(const QString& name) const;
    QAction* itemNamed(const QString& name) const;

    // HPUMenu and its item HPUEEPROM together.
    void setHpuMenuEnabled(bool enabled);

    // "Cmd+Q" names the Command key on macOS and Ctrl elsewhere; an empty text is no shortcut.
    static QKeySequence shortcutFromText(const QString& text);

private:
    QMenu* addNamedMenu(const QString& name, const QString& text);
    QAction* addItem(QMenu* menu, const QString& name, const QString& text,
                     const QString& shortcut = QString());
    void addSeparator(QMenu* menu, const QString& name);
};
