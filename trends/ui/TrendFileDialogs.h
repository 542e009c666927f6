#pragma once

#include <QString>

class QWidget;

// The platform's open and save dialogs of the trends. An empty path means the user cancelled.
namespace TrendFileDialogs {

// Which log to open, starting in folder.
QString chooseLog(QWidget* parent, const QString& folder);
// Where to export; filter as the dialogs take it: "PNG image (*.png)".
QString chooseExport(QWidget* parent, const QString& suggestedPath, const QString& filter);

} // namespace TrendFileDialogs
