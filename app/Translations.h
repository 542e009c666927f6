#pragma once

#include <QLocale>

class QCoreApplication;

// The user's language: French where the system's locale asks for it (LANG=fr_FR.UTF-8 and
// the like), English otherwise. Installs the application's translation, built into the
// program, and Qt's own for the standard buttons and dialogs where the system has it.
// Returns whether a translation of the application was installed.
bool installTranslations(QCoreApplication& application, const QLocale& locale = QLocale());
