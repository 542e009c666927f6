// make soak: 24 simulated hours of the installation on a noisy line through the whole
// monitor, logging; prints the report and fails on the first broken check.
// Usage: soak_day [hours]
#include "SoakRun.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    SoakSettings settings;
    settings.simulatedHours = argc > 1 ? QByteArray(argv[1]).toInt() : 24;
    settings.warmUpHours = 1;
    if (settings.simulatedHours < 1) {
        std::fprintf(stderr, "usage: soak_day [hours]\n");
        return 2;
    }
    const SoakReport report = runSoak(settings);
    std::printf("%s\n", qPrintable(report.summary()));
    if (!report.failure.isEmpty()) {
        std::fprintf(stderr, "soak failed: %s\n", qPrintable(report.failure));
        return 1;
    }
    std::printf("soak passed\n");
    return 0;
}
