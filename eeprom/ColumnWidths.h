#pragma once

#include <QString>
#include <QVector>

// A list's column widths written as a width list, "0, 0, 65%,0,0,0,0,10%,25%": each entry
// a width in points or a percentage of the list's width; a missing entry gives width 0.
// The widths in points are returned for a list totalWidth wide, rounded down so that the
// columns never overflow it.
QVector<int> columnWidthsFromList(const QString& widthList, int totalWidth, int columnCount);
