#include "core/ui/LayoutFonts.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStringList>

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

int pixelSizeFitting(const QFont& font, const QStringList& texts, int width) {
    QFont sized = font;
    int pixels = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    for (; pixels > kSmallestPixels; --pixels) {
        sized.setPixelSize(pixels);
        const QFontMetrics metrics(sized);
        bool fits = true;
        for (const QString& text : texts)
            fits = fits && metrics.horizontalAdvance(text) <= width;
        if (fits)
            break;
    }
    return pixels;
}

} // namespace LayoutFonts
