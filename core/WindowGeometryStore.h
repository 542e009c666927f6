#pragma once

#include <QByteArray>
#include <QString>

// Where windows keep their size and place between runs, per user: a window saves what
// QWidget::saveGeometry gives when it hides and restores it when it is built again.
class WindowGeometryStore {
public:
    virtual ~WindowGeometryStore() = default;
    // Empty when the window has not been saved yet.
    virtual QByteArray load(const QString& window) const = 0;
    virtual void save(const QString& window, const QByteArray& geometry) = 0;
};

// The real store: "Window_Geometry.ini" in the user's settings folder (~/.config/Orvane/Velmora
// on Linux). Without a folder (a build run by the tests) it keeps nothing, so no run writes
// into the home folder of the person running them.
class SettingsWindowGeometryStore : public WindowGeometryStore {
public:
    static constexpr const char* kFileName = "Window_Geometry.ini";

    explicit SettingsWindowGeometryStore(QString folder)
        : folder_(std::move(folder)) {}
    QByteArray load(const QString& window) const override;
    void save(const QString& window, const QByteArray& geometry) override;
    QString filePath() const;

private:
    QString folder_;
};
