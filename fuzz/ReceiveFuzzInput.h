#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

// One fuzz input played through the whole monitor on test doubles (scripted serial port,
// manual timeline, recorders), so that the receive state machine, the decoders, the alarm
// evaluation, the EEPROM answer store and the emission pacing all run on it. The same
// function serves the coverage-guided fuzzer and the regression test that replays its
// findings in the ordinary build.
//
// Input layout, byte by byte:
//   byte 0, options:
//     bit 0      the raw-stream page is selected at the start
//     bits 1..3  command built before any byte arrives: 0 none, 1 pump, 2 release,
//                3 EEPROM read, 4 EEPROM write, 5..7 none
//     bits 4..6  emission delay text (see kDelayTexts)
//   then records until the input ends, each starting with one byte h:
//     h < 0x80   a chunk of (h & 0x3F) + 1 line bytes follows (fewer if the input ends);
//                bit 6 flips the raw-stream page before the chunk arrives
//     h >= 0x80  a control action chosen by bits 4..5, its argument in bits 0..3:
//                0 build a command (arg & 3: pump, release, EEPROM read, EEPROM write)
//                1 let (arg + 1) x 100 ms pass (emission, alarm, log and stale-data timers)
//                2 a serial error, then Disconnect and Connect when arg is odd
//                3 set the emission delay text kDelayTexts[arg & 7]
// After each record the reception timer ticks until the link has nothing left to do.
namespace ReceiveFuzz {

// The emission delay texts the input chooses from: the default, the limits and the nonsense
// a user can type.
constexpr const char* kDelayTexts[8] = {"150", "0", "-5", "1", "abc", "20", "99999999999", ""};

// Plays the input; returns an empty text when every invariant held, otherwise what broke.
// Invariants: the receive state ends every reception tick in search, next header or body;
// a body never announces more than the 41-entry frame buffer holds; the raw-stream trace
// never exceeds 1512 characters; no byte is written to the port unless a command was built,
// and then exactly the frame last built, once, after a converter frame; an EEPROM answer
// handed to the EEPROM window is a copy of the received frame; bytes the link could handle
// never stay buffered. Out-of-bounds accesses are left to the sanitizers and the
// bounds-checked arrays of the fuzzing build.
QString run(const std::uint8_t* data, std::size_t size);
inline QString run(const QByteArray& input) {
    return run(reinterpret_cast<const std::uint8_t*>(input.constData()), std::size_t(input.size()));
}

// Builders of inputs in the layout above, for the seed corpus and for tests.
class InputBuilder {
public:
    explicit InputBuilder(std::uint8_t options = 0) { bytes_.append(char(options)); }

    // Line bytes, cut into chunks of at most chunkSize (1..64).
    InputBuilder& line(const QByteArray& bytes, int chunkSize = 64);
    InputBuilder& flipRawStreamPage();    // applied with the next chunk
    InputBuilder& command(int which);     // 0 pump, 1 release, 2 EEPROM read, 3 EEPROM write
    InputBuilder& wait(int hundredsOfMs); // 1..16
    InputBuilder& serialError(bool reconnect);
    InputBuilder& delayText(int index); // into kDelayTexts

    const QByteArray& bytes() const { return bytes_; }

private:
    QByteArray bytes_;
    bool flipNext_ = false;
};

} // namespace ReceiveFuzz
