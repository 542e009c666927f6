#pragma once

#include "core/Notifier.h"
#include "core/UserFolders.h"
#include "core/WindowGeometryStore.h"

#include <QHash>

#include <QStringList>
#include <QVector>

#include <functional>

class RecordingNotifier : public Notifier {
public:
    void showMessage(const QString& text) override {
        messages.append(text);
        if (onMessage)
            onMessage(text); // lets a test act while the "modal box" is open
    }
    void beep() override { ++beeps; }

    QStringList messages;
    int beeps = 0;
    std::function<void(const QString&)> onMessage;
};

class RecordingSound : public SoundPlayer {
public:
    void play(int volume) override { plays.append(volume); }
    QVector<int> plays; // the volume of each play
};

class FixedUserFolders : public UserFolders {
public:
    FixedUserFolders(QString documents, QString home) : documents_(std::move(documents)), home_(std::move(home)) {}
    QString documents() const override { return documents_; }
    QString home() const override { return home_; }

private:
    QString documents_;
    QString home_;
};

// Window geometries kept in memory for one test.
class MemoryWindowGeometryStore : public WindowGeometryStore {
public:
    QByteArray load(const QString& window) const override { return saved.value(window); }
    void save(const QString& window, const QByteArray& geometry) override { saved.insert(window, geometry); }
    QHash<QString, QByteArray> saved;
};
