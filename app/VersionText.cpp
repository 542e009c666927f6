#include "app/VersionText.h"

#include "BuildDate.h" // generated: VELMORA_BUILD_DATE

#include <QCoreApplication>

QString versionText(const QDate& date, const QLocale& locale) {
    return QStringLiteral("\u00A9 Orvane") +
           QCoreApplication::translate("VersionText", "   Velmora developers") + QLatin1Char('\n') +
           QCoreApplication::translate("VersionText", "build : V") + QString::number(VELMORA_VERSION_MAJOR) +
           QLatin1Char('.') + QString::number(VELMORA_VERSION_MINOR) + QLatin1Char('.') +
           QString::number(VELMORA_VERSION_PATCH) + QLatin1Char(' ') +
           locale.toString(date, QLocale::ShortFormat);
}

QDate buildDate() {
    return QDate::fromString(QStringLiteral(VELMORA_BUILD_DATE), Qt::ISODate);
}
