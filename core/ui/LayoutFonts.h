#pragma once

#include <QFont>
#include <QStringList>

// The main window is laid out in points, one point being one logical pixel as on macOS;
// font sizes are points of the same kind, so they are set as pixel sizes and the texts
// fit their controls the same way on every platform.
namespace LayoutFonts {

// "System" at its default size: the application's user-interface font.
QFont system();
// "System" at the given size.
QFont system(int points);
// "Consolas", with a monospaced fallback where it is not installed.
QFont consolas(int points, bool bold = false);
// A named family at the given size ("Helvetica" for the gauge).
QFont named(const QString& family, int points);

// The largest pixel size, from the font's own down to kSmallestPixels, at which every one of
// the texts is at most width wide. A fallback for "Consolas" is wider, so a value label picks
// its size with it from the longest texts it can show.
constexpr int kSmallestPixels = 8;
int pixelSizeFitting(const QFont& font, const QStringList& texts, int width);

} // namespace LayoutFonts
