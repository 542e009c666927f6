// The adapter pulled out and plugged back, end to end: velmora-sim on a pseudo-terminal reached
// through a symbolic link, the stable name a replugged adapter comes back under, and the main
// window on the real serial port, timers and clocks. Every wait is bounded.
#include "RealSerialPlatform.h"
#include "SimulatorProcess.h"
#include "app/LinkOpener.h"
#include "app/WindowMain.h"
#include "link/QtSerialPort.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// The lines of the files in the folder whose names contain the word.
QStringList fileLines(const QString& folder, const QString& word) {
    QStringList lines;
    const QStringList files =
        QDir(folder).entryList({QStringLiteral("*") + word + QStringLiteral("*.csv")}, QDir::Files);
    for (const QString& name : files) {
        QFile file(QDir(folder).filePath(name));
        if (file.open(QIODevice::ReadOnly))
            lines += QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    return lines;
}

// A log line carries a live input voltage (the stale marker is -1).
bool liveLine(const QString& line) {
    const QStringList fields = line.split(QLatin1Char(';'));
    return fields.size() > 2 && fields[1].toDouble() > 40.0;
}

} // namespace

class TestReplug : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }
    void pulledAndReplugged();

private:
    // Points the adapter's stable name at the simulator's pseudo-terminal.
    bool plug(const SimulatorProcess& sim) {
        return !sim.devicePath.isEmpty() && QFile::link(sim.devicePath, link_);
    }
    void unplug(SimulatorProcess& sim) {
        sim.pull();
        QFile::remove(link_);
    }
    QString link_;
};

void TestReplug::pulledAndReplugged() {
    QTemporaryDir dir;
    link_ = dir.filePath(QStringLiteral("ttyORVANE"));
    auto sim = std::make_unique<SimulatorProcess>(QStringLiteral(VELMORA_SIM_PATH));
    QVERIFY2(plug(*sim), qPrintable(sim->output));

    RealSerialPlatform desktop(link_, dir.path());
    WindowMain window(desktop.platform(), desktop.browser);
    window.show();
    Monitor& monitor = window.monitor();
    auto* list = window.findChild<QComboBox*>(QStringLiteral("SerialPortsPopupMenu"));
    auto* connectButton = window.findChild<QPushButton*>(QStringLiteral("ConnectButton"));
    auto* inputVoltage = window.findChild<QLabel*>(QStringLiteral("LabelValue_Uin"));
    auto* lostOnValues = window.findChild<QLabel*>(QStringLiteral("LabelConnectionLost_Values"));
    auto* lostOnRawStream = window.findChild<QLabel*>(QStringLiteral("LabelConnectionLost_RawStream"));
    QVERIFY(lostOnValues && lostOnRawStream);
    const QString lostLine =
        QStringLiteral("Connection lost \u2013 reconnecting to ") + link_ + QStringLiteral("\u2026");
    const auto lineShown = [&] {
        return !lostOnValues->isHidden() && lostOnValues->text() == lostLine &&
               !lostOnRawStream->isHidden() && lostOnRawStream->text() == lostLine &&
               lostOnValues->accessibleName() == lostLine;
    };
    const auto lineGone = [&] { return lostOnValues->isHidden() && lostOnRawStream->isHidden(); };
    const auto valuesShown = [&] {
        return !inputVoltage->isHidden() && inputVoltage->text().toDouble() >= 45.0;
    };

    QTRY_COMPARE_WITH_TIMEOUT(list->currentText(), link_, 3000);
    QTest::mouseClick(connectButton, Qt::LeftButton);
    QVERIFY2(monitor.isConnected(), qPrintable(desktop.notifier.messages.join('\n')));
    QTRY_VERIFY_WITH_TIMEOUT(valuesShown(), 5000);
    QVERIFY(lineGone());
    const QString folder = monitor.state().LogFolder;
    QTRY_VERIFY_WITH_TIMEOUT(fileLines(folder, QStringLiteral("LogOrvane")).size() >= 3, 3000);

    // Pulled: the line shows on both pages within a second; nothing is said in a box.
    unplug(*sim);
    QElapsedTimer sincePull;
    sincePull.start();
    QTRY_VERIFY_WITH_TIMEOUT(lineShown(), 1000);
    QVERIFY(monitor.isConnected());
    QCOMPARE(connectButton->text(), QStringLiteral("Disconnect"));
    QVERIFY(desktop.notifier.messages.isEmpty());

    // Plugged back under the same name: values and live log lines within 2 s, no user action.
    sim = std::make_unique<SimulatorProcess>(QStringLiteral(VELMORA_SIM_PATH));
    const int linesBefore = fileLines(folder, QStringLiteral("LogOrvane")).size();
    QVERIFY2(plug(*sim), qPrintable(sim->output));
    QTRY_VERIFY_WITH_TIMEOUT(desktop.port.isOpen() && lineGone() && valuesShown(), 2000);
    QTRY_VERIFY_WITH_TIMEOUT(fileLines(folder, QStringLiteral("LogOrvane")).size() > linesBefore &&
                                 liveLine(fileLines(folder, QStringLiteral("LogOrvane")).last()),
                             2000);

    // The event journal beside the log tells the story.
    const QStringList journal = fileLines(folder, QStringLiteral("EventsOrvane"));
    const auto journalled = [&](const QString& event) {
        return !journal.filter(QLatin1Char(';') + event + QLatin1Char(';')).isEmpty();
    };
    QVERIFY2(journalled(QStringLiteral("connected")), qPrintable(journal.join('\n')));
    QVERIFY2(journalled(QStringLiteral("connection lost")), qPrintable(journal.join('\n')));
    QVERIFY2(journalled(QStringLiteral("reconnected")), qPrintable(journal.join('\n')));

    // Pulled again, and Disconnect pressed during the attempts: they stop, and the adapter
    // plugged back is left alone.
    unplug(*sim);
    QTRY_VERIFY_WITH_TIMEOUT(lineShown(), 1000);
    QTest::mouseClick(connectButton, Qt::LeftButton);
    QVERIFY(!monitor.isConnected());
    QVERIFY(lineGone());
    sim = std::make_unique<SimulatorProcess>(QStringLiteral(VELMORA_SIM_PATH));
    QVERIFY2(plug(*sim), qPrintable(sim->output));
    QTest::qWait(2500); // longer than two attempts would take
    QVERIFY(!desktop.port.isOpen());
    QVERIFY(!monitor.isConnected());
    QVERIFY(lineGone());
    QCOMPARE(connectButton->text(), QStringLiteral("Connect"));
    QVERIFY(desktop.notifier.messages.isEmpty());
}

QTEST_MAIN(TestReplug)
#include "tst_replug.moc"
