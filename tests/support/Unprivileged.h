#pragma once

// Permission bits do not bind root, and CI runs the tests as root. A test that needs a folder
// it cannot write starts with VELMORA_RUN_UNPRIVILEGED(): run as root, the test function runs
// again in a child process of this test executable as the user "nobody" (setpriv, from
// util-linux), and the child's verdict is this test's verdict. Run as anyone else, the test
// goes on in this process. The test must not be data-driven (the child runs the whole function).

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace unprivileged {

inline bool isRoot() {
#ifdef Q_OS_UNIX
    return ::geteuid() == 0;
#else
    return false;
#endif
}

// Runs the test function `function` of this executable as "nobody"; its output goes to *output.
inline bool rerunAsNobody(const char* function, QString* output, bool* started) {
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    *started = !setpriv.isEmpty();
    if (!*started)
        return false;
    QProcess child;
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(setpriv, {QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                          QStringLiteral("--clear-groups"), QCoreApplication::applicationFilePath(),
                          QString::fromLatin1(function)});
    const bool finished = child.waitForFinished(60000);
    *output = QString::fromLocal8Bit(child.readAll());
    return finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
}

} // namespace unprivileged

#define VELMORA_RUN_UNPRIVILEGED()                                                                          \
    do {                                                                                                    \
        if (unprivileged::isRoot()) {                                                                       \
            QString childOutput;                                                                            \
            bool started = false;                                                                           \
            const bool passed =                                                                             \
                unprivileged::rerunAsNobody(QTest::currentTestFunction(), &childOutput, &started);          \
            if (!started)                                                                                   \
                QSKIP("run as root without setpriv: read-only folders cannot be made");                     \
            QVERIFY2(passed, qPrintable(childOutput));                                                      \
            return;                                                                                         \
        }                                                                                                   \
    } while (false)
