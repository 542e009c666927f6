#pragma once

#include "datalog/FolderChooser.h"

class QWidget;

// The platform's folder dialog. Native dialogs may place themselves and leave out the
// prompt; the captions, the title and the starting folder are always applied.
class QtFolderChooser : public FolderChooser {
public:
    explicit QtFolderChooser(QWidget* parent = nullptr)
        : parent_(parent) {}
    std::optional<QString> chooseFolder(const FolderChooserRequest& request) override;

private:
    QWidget* parent_;
};
