#pragma once

#include <QString>

#include <optional>

class QWidget;

// Where File > Record bus... writes its capture: QFileDialog's own save dialog (the same on
// every platform, and driven in tests). The chosen file, or nothing when the user cancelled.
std::optional<QString> chooseCaptureFile(QWidget* parent, const QString& suggested);
