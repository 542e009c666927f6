// libFuzzer target: arbitrary line bytes in arbitrary chunks, with commands, serial errors,
// reconnections and page changes in between, through the whole monitor. Any broken
// invariant aborts, so the fuzzer keeps the input as a finding.
#include "ReceiveFuzzInput.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString violation = ReceiveFuzz::run(data, size);
    if (!violation.isEmpty()) {
        std::fprintf(stderr, "receive path invariant broken: %s\n", qPrintable(violation));
        std::abort();
    }
    return 0;
}
