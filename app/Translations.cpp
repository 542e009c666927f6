#include "app/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

bool installTranslations(QCoreApplication& application, const QLocale& locale) {
    // Qt's own texts (Yes, No, Cancel of the message boxes, the folder chooser), when the
    // system carries them (Debian: qt6-translations-l10n).
    auto* qtTexts = new QTranslator(&application);
    if (qtTexts->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qtTexts);
    else
        delete qtTexts;

    // English is the source language: no translation is looked for when it comes first.
    auto* own = new QTranslator(&application);
    if (!own->load(locale, QStringLiteral("velmora"), QStringLiteral("_"), QStringLiteral(":/i18n"))) {
        delete own;
        return false;
    }
    QCoreApplication::installTranslator(own);
    return true;
}
