#pragma once

#include <QFile>
#include <QProcessEnvironment>
#include <QString>

// libfaketime preloaded into a program under test: its wall clock is read from a file the test
// writes ("@2021-03-14 10:00:00", "+3600"), while its monotonic clock is left alone, as a
// stepped system clock leaves the monotonic one.
namespace FakeTime {

// The library as Debian's faketime package installs it; empty when it is not there.
inline QString library() {
    for (const char* folder : {"/usr/lib/x86_64-linux-gnu/faketime", "/usr/lib/aarch64-linux-gnu/faketime",
                               "/usr/lib/faketime", "/usr/local/lib/faketime"}) {
        const QString path = QString::fromLatin1(folder) + QStringLiteral("/libfaketime.so.1");
        if (QFile::exists(path))
            return path;
    }
    return QString();
}

// The environment of a program whose wall clock follows clockFile, read again at every look.
inline QProcessEnvironment environment(const QString& clockFile,
                                       QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) {
    base.insert(QStringLiteral("LD_PRELOAD"), library());
    base.insert(QStringLiteral("FAKETIME_TIMESTAMP_FILE"), clockFile);
    base.insert(QStringLiteral("FAKETIME_NO_CACHE"), QStringLiteral("1"));
    base.insert(QStringLiteral("FAKETIME_DONT_FAKE_MONOTONIC"), QStringLiteral("1"));
    // A sanitizer build wants its runtime first among the preloaded libraries: let it be.
    base.insert(QStringLiteral("ASAN_OPTIONS"),
                base.value(QStringLiteral("ASAN_OPTIONS")) + QStringLiteral(":verify_asan_link_order=0"));
    return base;
}

} // namespace FakeTime
