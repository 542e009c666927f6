#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

// Label_Version: the rights notice and author credit, then on a second line
// "build : V2.3.3 " and the date the application was built in the locale's short format.
QString versionText(const QDate& buildDate, const QLocale& locale = QLocale());

// The date of this build, a constant of the build.
QDate buildDate();
