#pragma once

#include <QByteArray>
#include <QString>

// POSIX only. A pseudo-terminal pair standing in for a USB serial adapter on the RS485 bus:
// the tool opens devicePath() as its serial device; the test plays the installation on the
// other end, and closing that end is the adapter pulled out of its socket.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // False (with errorString()) when the system gives no pseudo-terminal.
    bool isValid() const { return master_ >= 0; }
    QString errorString() const { return error_; }
    QString devicePath() const { return devicePath_; }

    // Bytes the installation puts on the line; false once the adapter has vanished.
    bool send(const QByteArray& bytes);
    // Bytes the tool has written so far, without waiting.
    QByteArray receive();
    // The line as the tool has set it up, read back with tcgetattr (on Linux the two ends
    // share it): "9600 8N1" for the speed, data bits, parity and stop bits, then ", raw"
    // when bytes pass unchanged and unbuffered, and ", RTS/CTS" or ", XON/XOFF" for a flow control.
    QString lineSettings() const;
    // The adapter vanishes: its end closes, and every later access of the tool fails.
    void vanish();

private:
    int master_ = -1;
    QString devicePath_;
    QString error_;
};
