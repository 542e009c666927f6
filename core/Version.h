#pragma once

#include <QString>

// The tool's version ("2.3.3", from the project's), as every program and file that names it
// writes it: --version, the About text, the published device, the EEPROM backups.
inline QString velmoraVersion() {
    return QStringLiteral("%1.%2.%3")
        .arg(VELMORA_VERSION_MAJOR)
        .arg(VELMORA_VERSION_MINOR)
        .arg(VELMORA_VERSION_PATCH);
}
