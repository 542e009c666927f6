#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QTest>

// velmora-sim started by a test on a fresh pseudo-terminal, its printout read while the test's
// event loop runs. devicePath stays empty when the simulator did not announce its port in 10 s.
class SimulatorProcess {
public:
    explicit SimulatorProcess(const QString& program, const QStringList& arguments = {}) {
        process.start(program, arguments);
        devicePath =
            waitFor(QRegularExpression(QStringLiteral("Connect with: velmora --port (\\S+)\\n")), 10000)
                .captured(1);
    }
    ~SimulatorProcess() { pull(); }
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    // Waits, with the event loop running, until the printout after the last match matches.
    QRegularExpressionMatch waitFor(const QRegularExpression& pattern, int timeoutMs) {
        QDeadlineTimer deadline(timeoutMs);
        for (;;) {
            output += QString::fromLocal8Bit(process.readAllStandardOutput());
            const auto match = pattern.match(output, matchedUpTo_);
            if (match.hasMatch()) {
                matchedUpTo_ = match.capturedEnd();
                return match;
            }
            if (deadline.hasExpired() || process.state() == QProcess::NotRunning)
                return match;
            QTest::qWait(20);
        }
    }
    // The far end closes: the adapter is gone.
    void pull() {
        if (process.state() == QProcess::NotRunning)
            return;
        process.kill();
        process.waitForFinished(5000);
    }

    QProcess process;
    QString output;
    QString devicePath;

private:
    qsizetype matchedUpTo_ = 0;
};
