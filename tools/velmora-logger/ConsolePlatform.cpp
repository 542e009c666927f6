#include "ConsolePlatform.h"

#include <cstdio>

void tellConsole(const QString& text) {
    std::fprintf(stderr, "velmora-logger: %s\n", qPrintable(text));
    std::fflush(stderr);
}

void ConsoleNotifier::showMessage(const QString& text) {
    tellConsole(text);
}

ConsolePlatform::ConsolePlatform(const QStringList& extraPorts)
    : devices_(extraPorts) {}

Platform ConsolePlatform::platform() {
    return Platform{clock_,    wallClock_, timers_,    port_,       devices_,
                    notifier_, sound_,     resources_, userFolders_};
}
