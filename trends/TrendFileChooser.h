#pragma once

#include <QString>

// The platform's file dialogs for the trends: which log to open, where to export. An empty
// path means the user cancelled. The window passes the platform's dialogs, tests a double.
class TrendFileChooser {
public:
    virtual ~TrendFileChooser() = default;
    virtual QString chooseLog(const QString& folder) = 0;
    // filter as the dialogs take it: "PNG image (*.png)"
    virtual QString chooseExport(const QString& suggestedPath, const QString& filter) = 0;
};
