#include "app/LayoutFonts.h"

#include <QApplication>

namespace LayoutFonts {

QFont system() {
    return QApplication::font();
}

QFont system(int points) {
    QFont font = QApplication::font();
    font.setPixelSize(points);
    return font;
}

QFont consolas(int points, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("Consolas"), QStringLiteral("Menlo"), QStringLiteral("DejaVu Sans Mono"),
                      QStringLiteral("Liberation Mono"), QStringLiteral("monospace")});
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(points);
    font.setBold(bold);
    return font;
}

QFont named(const QString& family, int points) {
    QFont font(family);
    font.setPixelSize(points);
    return font;
}

} // namespace LayoutFonts
