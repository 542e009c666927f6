#include "ServiceNotice.h"

// Built without libsystemd (macOS, or no libsystemd-dev): no service manager listens.
namespace ServiceNotice {
void ready(const QString&) {}
void status(const QString&) {}
void alive() {}
void stopping() {}
} // namespace ServiceNotice
