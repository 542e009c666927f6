#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

class QSocketNotifier;
class QTimer;

// A pseudo-terminal whose far end looks like a serial device to the tool: the simulator
// holds the controlling side, the tool opens devicePath() as it would open an adapter.
// While no program has the device open, what the simulator sends is dropped instead of
// piling up, so a tool that connects later starts with the live line, not with old frames.
class PseudoTerminal : public QObject {
    Q_OBJECT
public:
    explicit PseudoTerminal(QObject* parent = nullptr);
    ~PseudoTerminal() override;

    // Creates the pseudo-terminal in raw mode; false with a reason when the system refuses.
    bool open(QString* error);
    QString devicePath() const { return devicePath_; }
    // True while a program holds the device open.
    bool hasClient() const;
    // Sends bytes towards the device's reader; dropped while nobody reads.
    void write(const QByteArray& bytes);

signals:
    // Bytes the program on the device side wrote.
    void bytesReceived(const QByteArray& bytes);

private:
    void readAvailable();
    void watchForClient();

    int master_ = -1;
    QString devicePath_;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* clientWatch_ = nullptr;
};
