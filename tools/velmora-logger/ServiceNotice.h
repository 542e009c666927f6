#pragma once

#include <QString>

// What the service manager is told, where it listens (systemd's Type=notify; elsewhere these
// do nothing): ready once the logger runs, waiting for its adapter included; a status line;
// alive at each log tick, so that an event loop that hangs starves the watchdog and the
// logger is restarted; stopping.
namespace ServiceNotice {
void ready(const QString& status);
void status(const QString& status);
// Cheap to call twice a second: the manager hears it as often as its watchdog needs.
void alive();
void stopping();
} // namespace ServiceNotice
