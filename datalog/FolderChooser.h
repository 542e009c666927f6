#pragma once

#include <QPoint>
#include <QString>

#include <optional>

// What the folder chooser is asked to show: captions, place and starting folder.
struct FolderChooserRequest {
    QString actionCaption;
    QString cancelCaption;
    QString title;
    QString prompt;
    QPoint position;
    QString initialFolder;
};

// A modal folder chooser; the window uses the platform's dialog, tests a double.
class FolderChooser {
public:
    virtual ~FolderChooser() = default;
    // The chosen folder (Qt form), or nothing when the user cancelled.
    virtual std::optional<QString> chooseFolder(const FolderChooserRequest& request) = 0;
};
