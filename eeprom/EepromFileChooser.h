#pragma once

#include <QString>

#include <optional>

// The modal file dialogs of the backup: the window uses the platform's dialogs, tests a
// double or the real dialog answered by a timer.
class EepromFileChooser {
public:
    virtual ~EepromFileChooser() = default;
    // Where to save a backup, starting from suggestedPath; nothing when cancelled.
    virtual std::optional<QString> saveFile(const QString& suggestedPath) = 0;
    // Which backup to load, starting in folder; nothing when cancelled.
    virtual std::optional<QString> openFile(const QString& folder) = 0;
};
