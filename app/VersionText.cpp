#include "app/VersionText.h"

#include "BuildDate.h" // generated: VELMORA_BUILD_DATE
#include "core/Version.h"

#include <QCoreApplication>

QString versionText(const QDate& date, const QLocale& locale) {
    return QStringLiteral("\u00A9 Orvane") +
           QCoreApplication::translate("VersionText", "   Velmora developers") + QLatin1Char('\n') +
           QCoreApplication::translate("VersionText", "build : V") + velmoraVersion() + QLatin1Char(' ') +
           locale.toString(date, QLocale::ShortFormat);
}

QDate buildDate() {
    return QDate::fromString(QStringLiteral(VELMORA_BUILD_DATE), Qt::ISODate);
}
