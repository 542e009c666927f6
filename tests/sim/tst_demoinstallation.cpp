// The tool's monitor connected to the demo installation in the process, as with --demo:
// the whole road from the devices' bytes to the monitor state and back, on a manual timeline.
#include "Hex.h"
#include "TestPlatform.h"
#include "core/Captions.h"
#include "monitor/Monitor.h"
#include "sim/DemoDevice.h"
#include "sim/SimulatedSerialPort.h"

#include <QTest>

using namespace Sim;

namespace {

// A monitor whose port routes to the simulation when "Demo installation" is chosen.
struct DemoBench {
    explicit DemoBench(SimulationSettings settings = {})
        : demo(doubles.platform(), std::move(settings)) {
        doubles.devices.setNames({QStringLiteral("ttyUSB0")});
    }
    TestPlatform doubles;
    ManualTimeline& timeline = doubles.timeline;
    DemoPlatform demo;
    Monitor monitor{demo.platform()};
    SimulatedInstallation& installation = demo.simulatedPort().installation();
    const MonitorState& state = monitor.state();

    // The list is filled at the first refresh (500 ms) with the demo installation last and
    // selected; Connect opens it.
    void connect() {
        timeline.advance(500);
        QCOMPARE(monitor.controls().SerialPortsPopupMenu_rows,
                 (QStringList{QStringLiteral("ttyUSB0"), QStringLiteral("Demo installation")}));
        QCOMPARE(monitor.controls().SerialPortsPopupMenu_selected, 1);
        monitor.ConnectButton_Action();
        QVERIFY(monitor.isConnected());
    }
    QVector<ReceivedCommand> commandsNamed(const QString& name) const {
        QVector<ReceivedCommand> found;
        for (const ReceivedCommand& c : installation.commands())
            if (c.name() == name)
                found.append(c);
        return found;
    }
};

} // namespace

class TestDemoInstallation : public QObject {
    Q_OBJECT
private slots:
    void valuesAppearWithoutAnAdapter();
    void pumpLeavesInTheQuietGapAndRaisesThePressure();
    void eepromReadAndWriteGoThroughTheLine();
    void aNoisyLineStillCarriesTheCommands();
};

void TestDemoInstallation::valuesAppearWithoutAnAdapter() {
    DemoBench bench;
    bench.connect();
    bench.timeline.advance(1100);
    QCOMPARE(bench.doubles.port.openCount, 0); // the adapter's port stays closed
    const MonitorState& s = bench.state;
    QCOMPARE(s.ProtocoleVersion, QStringLiteral("V2"));
    QVERIFY(s.U_in >= 45.0 && s.U_in <= 50.0);
    QVERIFY(s.U_out > 26.0 && s.U_out < 28.0);
    QVERIFY(s.RPM1 > 1400 && s.RPM1 < 1600);
    QCOMPARE(s.Pression, 2.5);
    QCOMPARE(s.ModeHPU, QStringLiteral("Auto"));
    QVERIFY(s.presenceHPU);
    const ControlsState& c = bench.monitor.controls();
    QVERIFY(c.LabelValue_Uin.visible);
    QVERIFY(c.CanvasProp_visible);
    QVERIFY(c.PompeButton.visible);
    // Every frame arrived whole: the receive state machine found nothing to discard.
    QVERIFY(!bench.monitor.trace().text().contains(QStringLiteral("junk")));
    QVERIFY(!bench.monitor.trace().text().contains(QStringLiteral("erreur CRC")));
}

void TestDemoInstallation::pumpLeavesInTheQuietGapAndRaisesThePressure() {
    DemoBench bench;
    bench.connect();
    bench.timeline.advance(1030);
    bench.monitor.PompeButton_Action();
    bench.timeline.advance(400);
    const auto pumps = bench.commandsNamed(QStringLiteral("pump"));
    QCOMPARE(pumps.size(), 1);
    QCOMPARE(pumps[0].bytes, hexBytes("12 11 48 02 00 6D"));
    // 150 ms after the converter frame, give or take the 10 ms reception tick.
    QVERIFY2(pumps[0].delayMs >= 150 && pumps[0].delayMs <= 161,
             qPrintable(QString::number(pumps[0].delayMs)));
    bench.timeline.advance(1500);
    QVERIFY(bench.state.Pression > 3.0);
    QCOMPARE(bench.state.ModeHPU, QStringLiteral("Manuel"));
    QCOMPARE(bench.state.Pitch, App::text(App::Caption::kPitchPump));

    bench.monitor.ReleaseButton_Action();
    bench.timeline.advance(2500);
    QCOMPARE(bench.commandsNamed(QStringLiteral("release")).size(), 1);
    QVERIFY(bench.state.Pression < 2.5);
    QCOMPARE(bench.state.Pitch, App::text(App::Caption::kPitchRelease));
}

void TestDemoInstallation::eepromReadAndWriteGoThroughTheLine() {
    DemoBench bench;
    bench.connect();
    bench.timeline.advance(500);
    bench.monitor.lectureEEPROM_HPU();
    bench.timeline.advance(400);
    QVERIFY(bench.state.reponseHPU);
    const ByteArray41& answer = bench.state.TrameBufferEEPROM;
    QCOMPARE(hexString(QByteArray(reinterpret_cast<const char*>(answer.data()), 7)),
             QStringLiteral("00 12 4C 21 00 03 20")); // TYPE_PALES 0, PRESSION_MAX 800

    bench.monitor.ecritureEEPROM_HPU(30, 750);
    bench.timeline.advance(400);
    QVERIFY(bench.state.reponseecritureHPU);
    bench.monitor.eepromRequests().clearAnswers();
    bench.monitor.lectureEEPROM_HPU();
    bench.timeline.advance(400);
    QVERIFY(bench.state.reponseHPU);
    QCOMPARE(answer[5] * 256 + answer[6], 750);
    QVERIFY(bench.monitor.trace().text().contains(QStringLiteral("ecriture EEPROM pris en compte")));
}

void TestDemoInstallation::aNoisyLineStillCarriesTheCommands() {
    SimulationSettings settings;
    settings.faults.rate = 0.15;
    settings.faults.seed = 3;
    DemoBench bench(settings);
    bench.connect();
    QVector<QPair<qint64, QString>> presses;
    for (int i = 0; i < 30; ++i) { // a press every two seconds for a minute
        if (i % 2 == 0)
            bench.monitor.PompeButton_Action();
        else
            bench.monitor.ReleaseButton_Action();
        presses.append(
            {bench.timeline.elapsedMs(), i % 2 == 0 ? QStringLiteral("pump") : QStringLiteral("release")});
        bench.timeline.advance(2000);
    }
    int faults = 0;
    for (FaultKind kind : settings.faults.kinds)
        faults += bench.installation.faults().count(kind);
    QVERIFY(faults > 20);
    QVERIFY(bench.installation.faults().count(FaultKind::Silence) > 0);

    // Each command leaves in the quiet gap after a converter frame the tool could read, and
    // is the one pressed last: a press overwritten by the next one while the converter was
    // silent is lost, as the tool's single outgoing slot intends.
    const auto& commands = bench.installation.commands();
    QVERIFY2(commands.size() >= 15, qPrintable(QString::number(commands.size())));
    int press = 0;
    for (const ReceivedCommand& c : commands) {
        QVERIFY(c.checksumOk);
        QVERIFY2(c.delayMs >= 150 && c.delayMs <= 170, qPrintable(QString::number(c.delayMs)));
        while (press + 1 < presses.size() && presses[press + 1].first < c.atMs)
            ++press;
        QVERIFY(press < presses.size() && presses[press].first < c.atMs);
        QCOMPARE(c.name(), presses[press].second);
        ++press; // a press is sent once
    }
    QVERIFY(bench.timeline.elapsedMs() - bench.state.timeLastDataCV < 6000);
}

QTEST_GUILESS_MAIN(TestDemoInstallation)
#include "tst_demoinstallation.moc"
