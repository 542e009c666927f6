#pragma once

#include <QVector>
#include <QtGlobal>

// How the simulated installation behaves: the converter's protocol, the broadcast periods
// of both devices, the line faults and the HPU's identity. The defaults are those of a
// healthy installation on a clean line.
namespace Sim {

enum class ProtocolVersion { V1, V2 };

// What can go wrong with one frame on the line.
enum class FaultKind {
    Junk,        // a few bytes of noise before the frame
    StrayByte,   // one stray 00, FF or FE before the frame
    BadChecksum, // the frame's checksum is corrupted
    Silence,     // the sending device stops talking for a while (this frame is lost)
};

enum class Device { Converter, Hpu };

// How the adapter hands the line's bytes to the computer. A plain UART may pass on every
// byte as it arrives; a USB adapter collects them and hands over a packet when the line
// goes quiet, so a frame reaches the computer in one piece once its last byte is in.
enum class ByteDelivery {
    EachByte,   // every byte on its own, when its stop bit ends
    WholeFrame, // each frame (or burst of noise) at once, when its last byte ends
};

struct LineFaultSettings {
    // Share of the frames sent that suffer a fault, 0 (clean line) to 1 (every frame).
    double rate = 0.0;
    // The kinds drawn from, with equal chances.
    QVector<FaultKind> kinds{FaultKind::Junk, FaultKind::StrayByte, FaultKind::BadChecksum,
                             FaultKind::Silence};
    // How long a silent device stays quiet: longer than the tool's 3 s stale limit by default,
    // so that its values are seen to disappear and come back.
    int silenceMs = 5000;
    // The same seed gives the same faults at the same frames.
    quint32 seed = 1;
};

struct SimulationSettings {
    ProtocolVersion protocol = ProtocolVersion::V2;
    int converterPeriodMs = 200;
    int hpuPeriodMs = 500;
    LineFaultSettings faults;
    ByteDelivery delivery = ByteDelivery::EachByte;
    quint16 boardNumber = 42;      // SYS_NoCarte
    quint16 softwareVersion = 112; // SYS_VersionSoft
};

} // namespace Sim
