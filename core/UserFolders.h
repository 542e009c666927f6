#pragma once

#include <QStandardPaths>
#include <QString>

// The user's Documents folder (the default log folder) and home folder (its fallback).
class UserFolders {
public:
    virtual ~UserFolders() = default;
    virtual QString documents() const = 0;
    virtual QString home() const = 0;
};

class SystemUserFolders : public UserFolders {
public:
    QString documents() const override {
        return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    }
    QString home() const override { return QStandardPaths::writableLocation(QStandardPaths::HomeLocation); }
};
