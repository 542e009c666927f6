#include "ReceiveFuzzInput.h"

#include "FakeSerialPort.h"
#include "ManualTimeline.h"
#include "Recorders.h"
#include "monitor/Monitor.h"
#include "link/Frame.h"
#include "link/RawStreamTrace.h"

#include <optional>

namespace ReceiveFuzz {

namespace {

// The monitor on its doubles, connected to one scripted device. No files are touched: the
// resource folder cannot be determined and logging is off.
struct Bench {
    ManualTimeline timeline;
    FakeSerialPort port;
    FakeDeviceList devices;
    RecordingNotifier notifier;
    RecordingSound sound;
    FixedResourceFolder resources{QString()};
    FixedUserFolders userFolders{QString(), QString()};
    Monitor monitor{
        Platform{timeline, timeline, timeline, port, devices, notifier, sound, resources, userFolders}};

    Bench() {
        devices.setNames({QStringLiteral("ttyUSB0")});
        monitor.setLogChecked(false);
        timeline.advance(500); // the device list fills and selects the adapter
        monitor.ConnectButton_Action();
    }
};

class Player {
public:
    explicit Player(Bench& bench)
        : b_(bench)
        , state_(bench.monitor.state()) {
        // Both run after the monitor's own handlers of the same event.
        QObject::connect(&b_.port, &SerialPort::dataReceived, [this] { afterDataReceived(); });
        QObject::connect(&b_.monitor.TimerEmissionRS485(), &Timer::timeout, [this] { afterEmissionTick(); });
    }

    void options(quint8 byte) {
        b_.monitor.setRawStreamPageSelected(byte & 0x01);
        const int initialCommand = (byte >> 1) & 0x07;
        if (initialCommand >= 1 && initialCommand <= 4)
            buildCommand(initialCommand - 1, byte);
        b_.monitor.setEmissionDelayText(QString::fromLatin1(kDelayTexts[(byte >> 4) & 0x07]));
    }

    void chunk(const QByteArray& bytes, bool flipPage) {
        if (flipPage)
            b_.monitor.setRawStreamPageSelected(!b_.monitor.controls().rawStreamPageSelected);
        writesBefore_ = b_.port.writes.size();
        b_.port.feed(bytes);
        check(b_.port.writes.size() == writesBefore_, QStringLiteral("a write outside the emission tick"));
        checkEverythingHandled();
    }

    void control(quint8 h) {
        const int action = (h >> 4) & 0x03;
        const int arg = h & 0x0F;
        switch (action) {
        case 0:
            buildCommand(arg & 0x03, h);
            break;
        case 1:
            b_.timeline.advance(qint64(arg + 1) * 100);
            break;
        case 2:
            b_.port.raiseError();
            lineDownSincePending_ = true;
            if (arg & 0x01) {
                if (b_.monitor.isConnected())
                    b_.monitor.ConnectButton_Action(); // Disconnect
                b_.monitor.ConnectButton_Action();     // Connect
            }
            break;
        default:
            b_.monitor.setEmissionDelayText(QString::fromLatin1(kDelayTexts[arg & 0x07]));
            break;
        }
        checkEverythingHandled();
    }

    const QString& violation() const { return violation_; }

private:
    void buildCommand(int which, quint8 seed) {
        switch (which) {
        case 0:
            b_.monitor.consignePOMPE_HPU();
            break;
        case 1:
            b_.monitor.consigneRELEASE_HPU();
            break;
        case 2:
            b_.monitor.lectureEEPROM_HPU();
            break;
        default:
            // Address and value from the input, including values beyond a byte and a word.
            b_.monitor.ecritureEEPROM_HPU(qint64(seed) * 37 - 100, qint64(seed) * 7919 - 50000);
            break;
        }
        pending_ = Frame::emissionBytes(state_.TrameBufferEmission);
        lineDownSincePending_ = !b_.port.isOpen();
        check(state_.emissionRequest, QStringLiteral("a built command is not pending"));
    }

    void checkEverythingHandled() {
        // The bytes are decoded as they arrive: whatever the link could handle has been handled.
        const qint64 left = b_.port.bytesAvailable();
        if (state_.StatutRS485 == StatutRS485::Body)
            check(left < state_.TrameBufferSize - 4, QStringLiteral("%1 bytes left while a frame of %2 waits")
                                                         .arg(left)
                                                         .arg(state_.TrameBufferSize));
        else
            check(left <= 4, QStringLiteral("%1 bytes left in state %2").arg(left).arg(qint64(state_.StatutRS485)));
        check(b_.monitor.trace().text().size() <= RawStreamTrace::kMaxChars,
              QStringLiteral("trace of %1 characters").arg(b_.monitor.trace().text().size()));
    }

    void afterDataReceived() {
        // States 3 and 5 are passed within a call; a call ends in 0, 1 or 2.
        const StatutRS485 s = state_.StatutRS485;
        check(s == StatutRS485::Search || s == StatutRS485::NextHeader || s == StatutRS485::Body,
              QStringLiteral("a data-received event ended in state %1").arg(qint64(s)));
        if (s == StatutRS485::Body)
            check(state_.TrameBufferSize >= 4 && state_.TrameBufferSize <= kFrameBufferSize,
                  QStringLiteral("reading a frame of %1 bytes").arg(state_.TrameBufferSize));
        check(b_.monitor.trace().text().size() <= RawStreamTrace::kMaxChars,
              QStringLiteral("trace of %1 characters").arg(b_.monitor.trace().text().size()));
        check(b_.port.writes.size() == writesBefore_, QStringLiteral("a write from the data-received event"));
        settleWithdrawnRequest();
        // The emission timer wakes the program only for a command waiting to leave.
        check(!b_.monitor.TimerEmissionRS485().isRunning() || state_.emissionRequest,
              QStringLiteral("the emission timer runs with nothing to send"));
        if (state_.reponseHPU) {
            // The copy handed to the EEPROM window is the answer received. One event may bring
            // further frames after it; when the answer is the last valid frame read (the machine
            // waits for the next header), the receive buffer still holds it to compare with.
            const ByteArray41& eeprom = state_.TrameBufferEEPROM;
            const ByteArray41& frame = state_.TrameBuffer;
            const int size = std::min(int(frame[3]) + 4, kFrameBufferSize);
            check(eeprom[0] == 0x00 && eeprom[1] == 0x12 && eeprom[2] == 0x4C,
                  QStringLiteral("an EEPROM answer stored without its header"));
            const bool lastReadIsAnAnswer =
                s == StatutRS485::NextHeader && frame[0] == 0x00 && frame[1] == 0x12 && frame[2] == 0x4C;
            if (lastReadIsAnAnswer)
                check(std::equal(frame.begin(), frame.begin() + size, eeprom.begin()),
                      QStringLiteral("an EEPROM answer stored unlike the frame received"));
            b_.monitor.eepromRequests().clearAnswers(); // as the EEPROM window does when it takes the answer
        }
    }

    void afterEmissionTick() {
        const int written = b_.port.writes.size() - writesBefore_;
        if (written > 0) {
            check(written == 1, QStringLiteral("%1 writes in one emission tick").arg(written));
            check(pending_.has_value(), QStringLiteral("wrote %1 without a command")
                                            .arg(QString::fromLatin1(b_.port.writes.last().toHex(' '))));
            if (pending_)
                check(b_.port.writes.last() == *pending_,
                      QStringLiteral("wrote %1 instead of the command built %2")
                          .arg(QString::fromLatin1(b_.port.writes.last().toHex(' ')),
                               QString::fromLatin1(pending_->toHex(' '))));
            check(!state_.emissionRequest, QStringLiteral("a command sent stays pending"));
            pending_.reset();
            writesBefore_ = b_.port.writes.size();
            return;
        }
        settleWithdrawnRequest();
        if (!pending_) {
            check(false, QStringLiteral("an emission tick with nothing to send"));
        } else if (pending_ && b_.port.isOpen()) {
            check(false, QStringLiteral("a pending command not written to an open port"));
        }
        writesBefore_ = b_.port.writes.size();
    }

    // A pump or release command stays pending until it is sent. An EEPROM request is withdrawn
    // by the monitor once the line has been found closed: nothing the EEPROM window asked for
    // may go out after a loss.
    void settleWithdrawnRequest() {
        if (!b_.port.isOpen())
            lineDownSincePending_ = true;
        if (!pending_ || state_.emissionRequest)
            return;
        const bool eepromRequest = pending_->size() > 2 && (quint8(pending_->at(2)) == Frame::kEepromRead ||
                                                             quint8(pending_->at(2)) == Frame::kEepromWrite);
        check(eepromRequest && lineDownSincePending_, QStringLiteral("a command dropped before it was sent"));
        pending_.reset();
    }

    void check(bool holds, const QString& what) {
        if (!holds && violation_.isEmpty())
            violation_ = what;
    }

    Bench& b_;
    const MonitorState& state_;
    std::optional<QByteArray> pending_; // the command built and not yet written
    bool lineDownSincePending_ = false; // the port was found closed since it was built
    qsizetype writesBefore_ = 0;
    QString violation_;
};

} // namespace

QString run(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return QString();
    Bench bench;
    Player player(bench);
    player.options(data[0]);
    std::size_t at = 1;
    while (at < size && player.violation().isEmpty()) {
        const quint8 h = data[at++];
        if (h < 0x80) {
            const std::size_t length = std::min<std::size_t>((h & 0x3F) + 1, size - at);
            player.chunk(QByteArray(reinterpret_cast<const char*>(data + at), qsizetype(length)), h & 0x40);
            at += length;
        } else {
            player.control(h);
        }
    }
    return player.violation();
}

InputBuilder& InputBuilder::line(const QByteArray& bytes, int chunkSize) {
    chunkSize = std::clamp(chunkSize, 1, 64);
    for (qsizetype at = 0; at < bytes.size(); at += chunkSize) {
        const QByteArray piece = bytes.mid(at, chunkSize);
        quint8 h = quint8(piece.size() - 1);
        if (flipNext_)
            h |= 0x40;
        flipNext_ = false;
        bytes_.append(char(h));
        bytes_.append(piece);
    }
    return *this;
}

InputBuilder& InputBuilder::flipRawStreamPage() {
    flipNext_ = true;
    return *this;
}

InputBuilder& InputBuilder::command(int which) {
    bytes_.append(char(0x80 | (which & 0x03)));
    return *this;
}

InputBuilder& InputBuilder::wait(int hundredsOfMs) {
    bytes_.append(char(0x90 | (std::clamp(hundredsOfMs, 1, 16) - 1)));
    return *this;
}

InputBuilder& InputBuilder::serialError(bool reconnect) {
    bytes_.append(char(0xA0 | (reconnect ? 1 : 0)));
    return *this;
}

InputBuilder& InputBuilder::delayText(int index) {
    bytes_.append(char(0xB0 | (index & 0x07)));
    return *this;
}

} // namespace ReceiveFuzz
