#include "app/MainMenuBar.h"

#include "core/Captions.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

enum class EditCommand { Undo, Cut, Copy, Paste, Clear, SelectAll };

// The standard editing commands act on whichever text control has the focus.
void applyToFocusedText(EditCommand command) {
    QWidget* focused = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focused)) {
        switch (command) {
        case EditCommand::Undo:
            line->undo();
            break;
        case EditCommand::Cut:
            line->cut();
            break;
        case EditCommand::Copy:
            line->copy();
            break;
        case EditCommand::Paste:
            line->paste();
            break;
        case EditCommand::Clear:
            // Delete clears the selection; with nothing selected it deletes nothing.
            if (line->hasSelectedText() && !line->isReadOnly())
                line->del();
            break;
        case EditCommand::SelectAll:
            line->selectAll();
            break;
        }
        return;
    }
    auto apply = [command](auto* edit) {
        switch (command) {
        case EditCommand::Undo:
            edit->undo();
            break;
        case EditCommand::Cut:
            edit->cut();
            break;
        case EditCommand::Copy:
            edit->copy();
            break;
        case EditCommand::Paste:
            edit->paste();
            break;
        case EditCommand::Clear:
            if (!edit->isReadOnly())
                edit->textCursor().removeSelectedText();
            break;
        case EditCommand::SelectAll:
            edit->selectAll();
            break;
        }
    };
    if (auto* plain = qobject_cast<QPlainTextEdit*>(focused))
        apply(plain);
    else if (auto* rich = qobject_cast<QTextEdit*>(focused))
        apply(rich);
}

} // namespace

MainMenuBar::MainMenuBar(QWidget* parent)
    : QMenuBar(parent) {
    setObjectName(QStringLiteral("MainMenuBar"));

    QMenu* file = addNamedMenu(QStringLiteral("FileMenu"), tr("&File"));
    addItem(file, QStringLiteral("FileOpenLog"), tr("Open log…"), QStringLiteral("Cmd+O"));
    // Checked while a capture of the bus is being written; choosing it again stops it.
    addItem(file, QStringLiteral("FileRecordBus"), tr("&Record bus\u2026"))->setCheckable(true);
    addSeparator(file, QStringLiteral("FileSeparator1"));
    QAction* quit = addItem(file, QStringLiteral("FileQuit"), App::text(App::Caption::kFileQuit),
                            App::text(App::Caption::kFileQuitShortcut));
    quit->setMenuRole(QAction::QuitRole);

    QMenu* edit = addNamedMenu(QStringLiteral("EditMenu"), tr("&Edit"));
    const auto editItem = [this, edit](const char* name, const QString& text, const char* shortcut,
                                       EditCommand command) {
        QAction* item = addItem(edit, QString::fromLatin1(name), text, QString::fromLatin1(shortcut));
        connect(item, &QAction::triggered, this, [command] { applyToFocusedText(command); });
    };
    editItem("EditUndo", tr("&Undo"), "Cmd+Z", EditCommand::Undo);
    addSeparator(edit, QStringLiteral("EditSeparator1"));
    editItem("EditCut", tr("Cu&t"), "Cmd+X", EditCommand::Cut);
    editItem("EditCopy", tr("&Copy"), "Cmd+C", EditCommand::Copy);
    editItem("EditPaste", tr("&Paste"), "Cmd+V", EditCommand::Paste);
    editItem("EditClear", App::text(App::Caption::kEditClear), "", EditCommand::Clear);
    addSeparator(edit, QStringLiteral("EditSeparator2"));
    editItem("EditSelectAll", tr("Select &All"), "Cmd+A", EditCommand::SelectAll);
    addSeparator(edit, QStringLiteral("EditSeparator3"));
    addItem(edit, QStringLiteral("EditPreferences"), tr("Settings"));

    QMenu* view = addNamedMenu(QStringLiteral("ViewMenu"), tr("&View"));
    addItem(view, QStringLiteral("ViewTrends"), tr("Trends"));

    QMenu* alarms = addNamedMenu(QStringLiteral("AlarmesMenu"), tr("Alarmes"));
    addItem(alarms, QStringLiteral("Alarmes"), App::text(App::Caption::kAlarmsTitle));

    QMenu* hpu = addNamedMenu(QStringLiteral("HPUMenu"), tr("HPU"));
    addItem(hpu, QStringLiteral("HPUEEPROM"), tr("EEPROM"));
}

QMenu* MainMenuBar::menuNamed(const QString& name) const {
    return findChild<QMenu*>(name);
}

QAction* MainMenuBar::itemNamed(const QString& name) const {
    return findChild<QAction*>(name);
}

void MainMenuBar::setHpuMenuEnabled(bool enabled) {
    menuNamed(QStringLiteral("HPUMenu"))->menuAction()->setEnabled(enabled);
    menuNamed(QStringLiteral("HPUMenu"))->setEnabled(enabled);
    itemNamed(QStringLiteral("HPUEEPROM"))->setEnabled(enabled);
}

QKeySequence MainMenuBar::shortcutFromText(const QString& text) {
    if (text.trimmed().isEmpty())
        return QKeySequence();
    QString portable = text;
    portable.replace(QStringLiteral("Cmd"), QStringLiteral("Ctrl"), Qt::CaseInsensitive); // Command on macOS
    return QKeySequence::fromString(portable, QKeySequence::PortableText);
}

QMenu* MainMenuBar::addNamedMenu(const QString& name, const QString& text) {
    QMenu* menu = addMenu(text);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name + QStringLiteral("Action"));
    return menu;
}

QAction* MainMenuBar::addItem(QMenu* menu, const QString& name, const QString& text,
                              const QString& shortcut) {
    QAction* item = menu->addAction(text);
    item->setObjectName(name);
    // Only Quit goes where the platform puts it; "Settings" stays an ordinary Edit item.
    item->setMenuRole(QAction::NoRole);
    const QKeySequence keys = shortcutFromText(shortcut);
    if (!keys.isEmpty())
        item->setShortcut(keys);
    return item;
}

void MainMenuBar::addSeparator(QMenu* menu, const QString& name) {
    QAction* separator = menu->addSeparator();
    separator->setObjectName(name);
}
