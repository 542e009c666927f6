#include "eeprom/ColumnWidths.h"

#include <QStringList>

#include <algorithm>

QVector<int> columnWidthsFromList(const QString& widthList, int totalWidth, int columnCount) {
    QVector<int> widths(columnCount, 0);
    const QStringList entries = widthList.split(QLatin1Char(','));
    for (int i = 0; i < columnCount && i < entries.size(); ++i) {
        QString entry = entries[i].trimmed();
        const bool percent = entry.endsWith(QLatin1Char('%'));
        if (percent)
            entry.chop(1);
        bool ok = false;
        const double number = entry.trimmed().toDouble(&ok);
        if (!ok || number <= 0)
            continue;
        const double width = percent ? number * totalWidth / 100.0 : number;
        widths[i] = std::max(0, int(width));
    }
    return widths;
}
