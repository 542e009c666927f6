#include "app/VersionText.h"

#include "BuildDate.h" // generated: VELMORA_BUILD_DATE

QString versionText(const QDate& date, const QLocale& locale) {
    return QStringLiteral("\u00A9 Orvane") + QStringLiteral("   Velmora developers") + QLatin1Char('\n') +
           QStringLiteral("build : V") + QString::number(VELMORA_VERSION_MAJOR) + QLatin1Char('.') +
           QString::number(VELMORA_VERSION_MINOR) + QLatin1Char('.') +
           QString::number(VELMORA_VERSION_PATCH) + QLatin1Char(' ') +
           locale.toString(date, QLocale::ShortFormat);
}

QDate buildDate() {
    return QDate::fromString(QStringLiteral(VELMORA_BUILD_DATE), Qt::ISODate);
}
