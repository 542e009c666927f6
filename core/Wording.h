#pragma once

#include <QCoreApplication>
#include <QString>

// The language a text is built in: the user's for what a window shows, English for what goes
// into a file that others read (the event journal), whatever the user's language. The texts
// themselves are marked with QT_TRANSLATE_NOOP where they are written.
enum class Wording { English, UserLanguage };

inline QString worded(Wording wording, const char* context, const char* source) {
    return wording == Wording::UserLanguage ? QCoreApplication::translate(context, source)
                                            : QString::fromUtf8(source);
}
