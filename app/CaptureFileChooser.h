#pragma once

#include <QString>

#include <optional>

class QWidget;

// Where File > Record bus... writes its capture: the platform's save dialog, or a test's answer.
class CaptureFileChooser {
public:
    virtual ~CaptureFileChooser() = default;
    // The chosen file, or nothing when the user cancelled.
    virtual std::optional<QString> chooseCaptureFile(QWidget* parent, const QString& suggested) = 0;
};

// QFileDialog's own save dialog (the same on every platform, and drivable in tests).
class QtCaptureFileChooser : public CaptureFileChooser {
public:
    std::optional<QString> chooseCaptureFile(QWidget* parent, const QString& suggested) override;
};
