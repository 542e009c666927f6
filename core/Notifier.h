#pragma once

#include <QString>

// What the user is told: modal message boxes with fixed texts, and the system beep.
// The window implementation shows a QMessageBox; tests record the calls.
class Notifier {
public:
    virtual ~Notifier() = default;
    virtual void showMessage(const QString& text) = 0;
    virtual void beep() = 0;
};

// The alarm sound "alarm_hydro.wav"; volume 0..100, played without waiting for its end.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void play(int volume) = 0;
};

// The application's resource folder, which holds the pictures, the sound and the two
// settings files. An empty path means the folder cannot be determined.
class ResourceFolder {
public:
    virtual ~ResourceFolder() = default;
    virtual QString path() const = 0;
    // The user's own folder for the settings files, for a resource folder that cannot take
    // them (an installed package's belongs to the system). Empty: the settings files live in
    // the resource folder whatever happens (see SettingsFiles).
    virtual QString userSettingsPath() const { return QString(); }
    QString filePath(const QString& name) const {
        const QString dir = path();
        return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + name;
    }
};

class FixedResourceFolder : public ResourceFolder {
public:
    explicit FixedResourceFolder(QString path, QString userSettingsPath = QString())
        : path_(std::move(path))
        , userSettingsPath_(std::move(userSettingsPath)) {}
    QString path() const override { return path_; }
    QString userSettingsPath() const override { return userSettingsPath_; }

private:
    QString path_;
    QString userSettingsPath_;
};
