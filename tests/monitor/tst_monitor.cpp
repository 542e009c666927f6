#include "Hex.h"
#include "TestPlatform.h"
#include "link/Frame.h"
#include "monitor/Monitor.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

namespace {

// U_in 52.5 V, U_out 12.5 V and I_out 5 A (V2), 30.0 degrees, RPM1 300.
const QByteArray kConverter = hexBytes("00 01 10 10 02 0D 30 D4 13 88 AB CD 01 2C 00 C8 00 00 04 3C");
// Pression 5.00 bar, automatic, inactive.
const QByteArray kHpuStatus = hexBytes("00 12 10 07 01 F4 FF 00 00 02 1D");
const QByteArray kPump = hexBytes("12 11 48 02 00 6D");

// A monitor on a whole platform of doubles, with one adapter plugged in.
struct Bench {
    TestPlatform doubles;
    Monitor monitor{doubles.platform()};
    ManualTimeline& timeline = doubles.timeline;
    FakeSerialPort& port = doubles.port;

    Bench() { doubles.devices.setNames({QStringLiteral("ttyUSB0")}); }
    // The first refresh fills the list at 500 ms; then Connect.
    void connectAt500() {
        timeline.advance(500 - timeline.elapsedMs());
        monitor.ConnectButton_Action();
        QVERIFY(monitor.isConnected());
    }
};

} // namespace

class TestMonitor : public QObject {
    Q_OBJECT
private slots:
    void designState() {
        Bench bench;
        Monitor& m = bench.monitor;
        const struct {
            Timer& timer;
            Timer::Mode mode;
            int period;
        } design[] = {
            {m.PortListUpdater(), Timer::Repeating, 500},  {m.TimerLog(), Timer::Repeating, 500},
            {m.TimerEmissionRS485(), Timer::Off, 10},
            {m.TimerResetError(), Timer::Repeating, 5000}, {m.TimerAlarm(), Timer::Single, 200},
            {m.TimerAlarmSound(), Timer::Off, 15000},
        };
        for (const auto& d : design) {
            QCOMPARE(d.timer.mode(), d.mode);
            QCOMPARE(d.timer.period(), d.period);
        }
        const ControlsState& c = m.controls();
        QVERIFY(c.SerialPortsPopupMenu_enabled);
        QVERIFY(c.SerialPortsPopupMenu_rows.isEmpty());
        QCOMPARE(c.ConnectButton.caption, QStringLiteral("Connect"));
        QVERIFY(!c.ConnectButton.enabled);
        QVERIFY(!c.CheckBoxLog_enabled);
        QVERIFY(c.CheckBoxLog_checked);
        QVERIFY(c.HPUMenu_enabled);
        QVERIFY(!m.isConnected());
        QCOMPARE(m.state().ProtocoleVersion, QStringLiteral("V2"));
        QCOMPARE(m.state().timeStampLastLog, QStringLiteral("00:00:00"));
    }

    // The alarm timers reach the alarm evaluation's handlers: the design-time fills clear
    // at 200 ms, and a high input voltage sounds after 15 s, then every 10 s.
    void alarmTimersReachTheirHandlers() {
        Bench bench;
        bench.timeline.advance(200);
        QCOMPARE(bench.monitor.controls().Rect_AlertRPM, AlertFill::Transparent);
        QCOMPARE(bench.monitor.controls().Rect_AlertInputVoltage, AlertFill::Transparent);
        bench.connectAt500();
        // U_in 60.0 V above the 53.0 V threshold.
        bench.port.feed(Frame::withChecksum(hexBytes("00 01 10 10 02 58 30 D4 13 88 00 00 01 2C 00 C8 00 00")));
        bench.timeline.advance(10);
        QCOMPARE(bench.monitor.controls().Rect_AlertInputVoltage, AlertFill::AlertRed);
        bench.timeline.advance(200);
        QCOMPARE(bench.monitor.controls().Rect_AlertInputVoltage, AlertFill::Transparent);
        bench.timeline.advance(14800);
        QCOMPARE(bench.doubles.sound.plays, QVector<int>{100});
        bench.timeline.advance(10000);
        QCOMPARE(bench.doubles.sound.plays, (QVector<int>{100, 100}));
    }

    // The road of one converter frame: decoded, stamped, then the pending command leaves in the quiet gap
    // after it.
    void converterFrameRoad() {
        Bench bench;
        bench.connectAt500();
        QSignalSpy changed(&bench.monitor, &Monitor::changed);
        bench.monitor.PompeButton_Action();
        bench.port.feed(kConverter);
        bench.timeline.advance(10);
        const MonitorState& s = bench.monitor.state();
        QCOMPARE(s.U_in, 52.5);
        QCOMPARE(s.U_out, 12.5);
        QCOMPARE(s.I_out, 5.0);
        QCOMPARE(s.RPM1, qint64(300));
        QCOMPARE(s.timeLastDataCV, qint64(500)); // decoded as it arrived
        QVERIFY(bench.monitor.controls().LabelValue_Uin.visible);
        QVERIFY(!changed.isEmpty());
        QCOMPARE(bench.monitor.TimerEmissionRS485().mode(), Timer::Repeating);

        bench.timeline.advance(139); // 649
        QVERIFY(bench.port.writes.isEmpty());
        bench.timeline.advance(1);
        QCOMPARE(bench.port.writes, QList<QByteArray>{kPump});
        QVERIFY(bench.monitor.trace().text().startsWith(QStringLiteral(" j'emets une trame  \n")));
    }

    // The emission tick after each converter frame mostly finds nothing to send; it then asks
    // the window for no refresh. A command written does (the trace shows it).
    void emissionTickRefreshesOnlyWhenItWrote() {
        Bench bench;
        bench.connectAt500();
        bench.port.feed(kConverter);
        bench.timeline.advance(10); // decoded at 500; a tick would be due at 650
        QSignalSpy changed(&bench.monitor, &Monitor::changed);
        bench.timeline.advance(150);
        QCOMPARE(bench.monitor.TimerEmissionRS485().mode(), Timer::Off);
        QVERIFY(bench.port.writes.isEmpty());
        QCOMPARE(changed.size(), 0);

        bench.monitor.PompeButton_Action();
        bench.port.feed(kConverter);
        bench.timeline.advance(10);
        changed.clear();
        bench.timeline.advance(150);
        QCOMPARE(bench.port.writes, QList<QByteArray>{kPump});
        QCOMPARE(changed.size(), 1);
    }

    // Every way a command is built reaches the emission: pressed or requested during the quiet
    // gap after a frame (arrived at 500, delay 150), it leaves when the gap ends, at 650.
    void commandBuiltDuringTheGapLeavesAtItsEnd_data() {
        QTest::addColumn<int>("command");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("pump button") << 0 << kPump;
        QTest::newRow("release button") << 1 << hexBytes("12 11 4A 02 00 6F");
        QTest::newRow("EEPROM read") << 2 << hexBytes("12 11 4C 02 00 71");
        QTest::newRow("EEPROM write") << 3 << hexBytes("12 11 45 05 1E 03 20 00 AE");
    }
    void commandBuiltDuringTheGapLeavesAtItsEnd() {
        QFETCH(int, command);
        QFETCH(QByteArray, written);
        Bench bench;
        bench.connectAt500();
        bench.port.feed(kConverter);
        bench.timeline.advance(100); // 600
        QCOMPARE(bench.monitor.TimerEmissionRS485().mode(), Timer::Off);
        if (command == 0)
            bench.monitor.PompeButton_Action();
        else if (command == 1)
            bench.monitor.ReleaseButton_Action();
        else if (command == 2)
            bench.monitor.lectureEEPROM_HPU();
        else
            bench.monitor.ecritureEEPROM_HPU(30, 800);
        bench.timeline.advance(49);
        QVERIFY(bench.port.writes.isEmpty());
        bench.timeline.advance(1);
        QCOMPARE(bench.port.writes, QList<QByteArray>{written});
        QCOMPARE(bench.monitor.TimerEmissionRS485().mode(), Timer::Off);
    }

    void emissionDelayTypedInTheRawStreamPage() {
        Bench bench;
        bench.connectAt500();
        bench.monitor.setEmissionDelayText(QStringLiteral("40"));
        bench.monitor.ReleaseButton_Action();
        bench.port.feed(kConverter);
        bench.timeline.advance(39);
        QVERIFY(bench.port.writes.isEmpty());
        bench.timeline.advance(1);
        QCOMPARE(bench.port.writes, QList<QByteArray>{hexBytes("12 11 4A 02 00 6F")});
    }

    void hpuFrameShowsTheStatusAndRepaintsTheGauge() {
        Bench bench;
        bench.connectAt500();
        QSignalSpy repaint(&bench.monitor, &Monitor::gaugeRepaintRequested);
        bench.port.feed(kHpuStatus);
        bench.timeline.advance(10);
        QCOMPARE(repaint.size(), 1);
        QVERIFY(bench.monitor.state().presenceHPU);
        QCOMPARE(bench.monitor.state().Pression, 5.0);
        QCOMPARE(bench.monitor.state().timeLastDataHPU, qint64(500));
        QVERIFY(bench.monitor.controls().PompeButton.visible);
        QVERIFY(bench.monitor.controls().CanvasProp_visible);
        // Only converter frames arm the emission.
        QCOMPARE(bench.monitor.TimerEmissionRS485().mode(), Timer::Off);
    }

    void eepromReadAnswerKeptForTheEepromWindow() {
        Bench bench;
        bench.connectAt500();
        bench.monitor.lectureEEPROM_HPU();
        bench.port.feed(kConverter);
        bench.timeline.advance(200);
        QCOMPARE(bench.port.writes, QList<QByteArray>{hexBytes("12 11 4C 02 00 71")});
        QByteArray answer = hexBytes("00 12 4C 21");
        for (int i = 0; i < 31; ++i)
            answer.append(char(i));
        const qint64 sum = [&] {
            qint64 s = 0;
            for (char c : answer)
                s += quint8(c);
            return s;
        }();
        answer.append(char(sum >> 8)).append(char(sum & 0xFF));
        bench.port.feed(answer);
        bench.timeline.advance(10);
        const MonitorState& s = bench.monitor.state();
        QVERIFY(s.reponseHPU);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(s.TrameBufferEEPROM.data()), 37), answer);
        QVERIFY(bench.monitor.trace().text().startsWith(QStringLiteral("envoi EEPROM valide\n")));
        QCOMPARE(s.timeLastDataHPU, qint64(700));
    }

    // The EEPROM window's requests are its own: it withdraws only its own frame from the slot,
    // and a closed or lost line withdraws every EEPROM request, never a pump command.
    void eepromRequestsHaveAnOwner_data() {
        QTest::addColumn<QString>("story");
        QTest::addColumn<QList<QByteArray>>("written"); // at the next quiet gap
        QTest::newRow("the window withdraws its read") << "read, withdraw" << QList<QByteArray>{};
        QTest::newRow("a pump pressed after it stays") << "read, pump, withdraw" << QList<QByteArray>{kPump};
        QTest::newRow("another owner's withdrawal leaves it")
            << "write, other withdraws" << QList<QByteArray>{hexBytes("12 11 45 05 21 01 C2 01 51")};
        QTest::newRow("Disconnect and Connect: the write is gone")
            << "write, disconnect, connect" << QList<QByteArray>{};
        QTest::newRow("a serial error closes the port: the write is gone, also once reopened")
            << "write, error" << QList<QByteArray>{};
        QTest::newRow("a pump survives Disconnect")
            << "pump, disconnect, connect" << QList<QByteArray>{kPump};
    }
    void eepromRequestsHaveAnOwner() {
        QFETCH(QString, story);
        QFETCH(QList<QByteArray>, written);
        Bench bench;
        bench.connectAt500();
        int window = 0;
        int other = 0;
        for (const QString& step : story.split(QStringLiteral(", "))) {
            if (step == QLatin1String("read"))
                bench.monitor.lectureEEPROM_HPU(&window);
            else if (step == QLatin1String("write"))
                bench.monitor.ecritureEEPROM_HPU(33, 450, &window);
            else if (step == QLatin1String("pump"))
                bench.monitor.PompeButton_Action();
            else if (step == QLatin1String("withdraw"))
                bench.monitor.eepromRequests().withdraw(&window);
            else if (step == QLatin1String("other withdraws"))
                bench.monitor.eepromRequests().withdraw(&other);
            else if (step == QLatin1String("disconnect") || step == QLatin1String("connect"))
                bench.monitor.ConnectButton_Action();
            else if (step == QLatin1String("error"))
                bench.port.raiseError();
        }
        if (!bench.monitor.isConnected())
            bench.monitor.ConnectButton_Action();
        bench.timeline.advance(1000); // a lost port is reopened
        QVERIFY(bench.monitor.isLineUp());
        QCOMPARE(bench.monitor.eepromRequests().isPending(&window),
                 !written.isEmpty() && written[0] != kPump);
        bench.port.feed(kConverter);
        bench.timeline.advance(300);
        QCOMPARE(bench.port.writes, written);
    }

    // A read answer that is not whole is traced and kept from the EEPROM window.
    void incompleteEepromAnswerIsNotKept() {
        Bench bench;
        bench.connectAt500();
        bench.port.feed(kHpuStatus);
        bench.timeline.advance(10);
        const ByteArray41 before = bench.monitor.state().TrameBufferEEPROM;
        bench.port.feed(Frame::withChecksum(hexBytes("00 12 4C 19") + QByteArray(23, '\x05')));
        bench.timeline.advance(10);
        const MonitorState& s = bench.monitor.state();
        QVERIFY(!s.reponseHPU);
        QVERIFY(bench.monitor.eepromRequests().incompleteAnswerSeen());
        QVERIFY(s.TrameBufferEEPROM == before); // the five bytes of 0x05 were not copied
        QVERIFY(bench.monitor.trace().text().startsWith(QStringLiteral("envoi EEPROM incomplet\n")));
        bench.monitor.eepromRequests().clearAnswers();
        QVERIFY(!bench.monitor.eepromRequests().incompleteAnswerSeen());
    }

    // The TimerLog tick resets a device's values once its last frame is more than 3000 ms old, each device on
    // its own, and only while connected.
    void staleDataWhileConnected() {
        Bench bench;
        bench.connectAt500();
        // The converter speaks once (stamp 500); HPU frames keep coming every 500 ms.
        bench.port.feed(kConverter);
        for (int t = 500; t < 3500; t += 500) {
            bench.port.feed(kHpuStatus);
            bench.timeline.advance(500);
        }
        // Exactly 3000 ms after the converter's stamp: still fresh.
        QCOMPARE(bench.timeline.elapsedMs(), qint64(3500));
        QCOMPARE(bench.monitor.state().U_in, 52.5);
        QVERIFY(bench.monitor.controls().LabelValue_Uin.visible);
        bench.port.feed(kHpuStatus);
        bench.timeline.advance(500); // 4000: 3500 ms
        QCOMPARE(bench.monitor.state().U_in, -1.0);
        QCOMPARE(bench.monitor.state().RPM1, qint64(-1));
        QVERIFY(!bench.monitor.controls().LabelValue_Uin.visible);
        QVERIFY(bench.monitor.state().presenceHPU); // the HPU is still talking
        QVERIFY(bench.monitor.controls().PompeButton.visible);

        // The HPU goes quiet: its last frame came at 3500.
        bench.timeline.advance(3000); // 7000: 3500 ms
        QVERIFY(!bench.monitor.state().presenceHPU);
        QCOMPARE(bench.monitor.state().Pression, -1.0);
        QVERIFY(!bench.monitor.controls().PompeButton.visible);
        QVERIFY(!bench.monitor.controls().CanvasProp_visible);
    }

    // The log tick asks the window for a refresh only when it hid a stale device's values.
    void logTickRefreshesOnlyWhenItHidesValues() {
        Bench bench;
        bench.connectAt500();
        bench.monitor.TimerLog().setMode(Timer::Off); // ticked by hand below
        bench.port.feed(kConverter + kHpuStatus);
        bench.timeline.advance(20);
        QSignalSpy changed(&bench.monitor, &Monitor::changed);
        bench.monitor.TimerLog_Action(); // both fresh
        QCOMPARE(changed.size(), 0);
        QVERIFY(bench.monitor.controls().LabelValue_Uin.visible);

        bench.timeline.advance(3500);
        changed.clear();
        bench.monitor.TimerLog_Action(); // both stale: hidden
        QCOMPARE(changed.size(), 1);
        QVERIFY(!bench.monitor.controls().LabelValue_Uin.visible);
        QVERIFY(!bench.monitor.controls().CanvasProp_visible);
        bench.monitor.TimerLog_Action(); // already hidden
        QCOMPARE(changed.size(), 1);
    }

    // One sample per wall-clock second while connected, from the values shown: a converter
    // frame's values and the HPU's status, then empty values once the converter is stale.
    void secondSamplesWhileConnected() {
        Bench bench;
        QSignalSpy samples(&bench.monitor, &Monitor::secondSampled);
        bench.connectAt500();
        QCOMPARE(samples.count(), 0); // the ticks at 0 and 500 came while disconnected
        bench.port.feed(kConverter + kHpuStatus);
        bench.timeline.advance(1000);
        QCOMPARE(samples.count(), 1); // the ticks at 1000 and 1500 fall into one second
        const auto live = samples.last().at(0).value<SecondSample>();
        QCOMPARE(live.inputVoltage, std::optional<double>(52.5));
        QCOMPARE(live.outputVoltage, std::optional<double>(12.5));
        QCOMPARE(live.outputCurrent, std::optional<double>(5.0));
        QCOMPARE(live.temperature, std::optional<double>(30.0));
        QCOMPARE(live.speed, std::optional<double>(300.0));
        QVERIFY(live.hpuPresent);
        QCOMPARE(live.pressure, std::optional<double>(5.0));
        QVERIFY(!live.hpuMode.isEmpty());
        QCOMPARE(live.time.time().msec(), 0);

        // Four more seconds: the converter's frame is now more than 3 s old.
        bench.timeline.advance(4000);
        QCOMPARE(samples.count(), 5);
        const auto stale = samples.last().at(0).value<SecondSample>();
        QVERIFY(!stale.inputVoltage && !stale.speed && !stale.temperature && !stale.pressure);
        QVERIFY(!stale.hpuPresent);
        QVERIFY(stale.hpuMode.isEmpty());
        QCOMPARE(samples.at(3).at(0).value<SecondSample>().time.secsTo(stale.time), 1);
    }

    // A sample's alarm is the condition the last converter frame found, though the red fill
    // has cleared 200 ms after that frame; once the converter is stale, no alarm is held.
    void secondSampleAlarmsFollowTheConditionNotTheFill() {
        Bench bench;
        QSignalSpy samples(&bench.monitor, &Monitor::secondSampled);
        bench.connectAt500();
        // U_in 60.0 V above the 53.0 V threshold.
        bench.port.feed(Frame::withChecksum(hexBytes("00 01 10 10 02 58 30 D4 13 88 00 00 01 2C 00 C8 00 00")));
        bench.timeline.advance(1000);
        QCOMPARE(bench.monitor.controls().Rect_AlertInputVoltage, AlertFill::Transparent);
        const auto alarmed = samples.last().at(0).value<SecondSample>();
        QVERIFY(alarmed.inputVoltageAlarm);
        QVERIFY(!alarmed.speedAlarm && !alarmed.temperatureAlarm);
        bench.timeline.advance(4000);
        QVERIFY(!samples.last().at(0).value<SecondSample>().inputVoltageAlarm);
    }

    // Connected at any moment, the reconnection watch comes at the same moment as every second
    // log tick, so the program wakes once for both.
    void reconnectionWatchComesWithTheLogTick() {
        Bench bench;
        bench.timeline.advance(730); // the list filled at 500; not on a log tick
        bench.monitor.ConnectButton_Action();
        QVERIFY(bench.monitor.isConnected());
        QVector<qint64> logTicks;
        QVector<qint64> watchTicks;
        connect(&bench.monitor.TimerLog(), &Timer::timeout, this,
                [&] { logTicks.append(bench.timeline.elapsedMs()); });
        connect(&bench.monitor.TimerReconnect(), &Timer::timeout, this,
                [&] { watchTicks.append(bench.timeline.elapsedMs()); });
        bench.timeline.advance(5000);
        QCOMPARE(watchTicks, (QVector<qint64>{1730, 2730, 3730, 4730, 5730}));
        QCOMPARE(logTicks.size(), 10);
        for (const qint64 t : watchTicks)
            QVERIFY2(logTicks.contains(t), qPrintable(QString::number(t)));
    }

    void noStaleCheckWhileDisconnected() {
        Bench bench;
        bench.timeline.advance(10000); // never connected: nothing is known, nothing shown
        QCOMPARE(bench.monitor.state().U_in, kNotKnown);
        QVERIFY(!bench.monitor.controls().LabelValue_Uin.visible);

        bench.connectAt500();
        bench.port.feed(kConverter + kHpuStatus);
        bench.timeline.advance(100);
        bench.monitor.ConnectButton_Action(); // disconnect: the display freezes
        bench.timeline.advance(20000);
        QCOMPARE(bench.monitor.state().U_in, 52.5);
        QVERIFY(bench.monitor.state().presenceHPU);
        QVERIFY(bench.monitor.controls().LabelValue_Uin.visible);
    }

    // Connect and disconnect leave the receive state alone: a frame cut by a reconnection is completed by the
    // bytes that follow it.
    void reconnectionContinuesFromTheStateLeft() {
        Bench bench;
        bench.connectAt500();
        bench.port.feed(kConverter.left(12));
        bench.timeline.advance(10);
        QCOMPARE(bench.monitor.state().StatutRS485, StatutRS485::Body);
        bench.monitor.ConnectButton_Action();
        bench.timeline.advance(1000);
        bench.monitor.ConnectButton_Action();
        QVERIFY(bench.monitor.isConnected());
        QCOMPARE(bench.monitor.state().StatutRS485, StatutRS485::Body);
        bench.port.feed(kConverter.mid(12));
        bench.timeline.advance(10);
        QCOMPARE(bench.monitor.state().StatutRS485, StatutRS485::NextHeader);
        QCOMPARE(bench.monitor.state().U_in, 52.5);
    }

    void repeatedSerialErrorsDisconnect() {
        Bench bench;
        bench.connectAt500();
        QSignalSpy changed(&bench.monitor, &Monitor::changed);
        // A port that fails again as soon as it is reopened; a closed one reports nothing.
        for (int i = 0; i < 12; ++i) {
            if (!bench.port.isOpen())
                bench.port.open(bench.port.openedDevice);
            bench.port.raiseError();
        }
        QCOMPARE(bench.doubles.notifier.messages,
                 QStringList{QStringLiteral("A serial port error occurred.")});
        QCOMPARE(bench.doubles.notifier.beeps, 1);
        QVERIFY(!bench.monitor.isConnected());
        QCOMPARE(bench.monitor.controls().ConnectButton.caption, QStringLiteral("Connect"));
        QCOMPARE(bench.monitor.PortListUpdater().mode(), Timer::Repeating);
        QCOMPARE(bench.monitor.state().serial_count_errors, qint64(0));
        QVERIFY(!changed.isEmpty());
    }

    void failedOpeningThroughTheMonitor() {
        Bench bench;
        bench.timeline.advance(500);
        bench.port.failOpen = true;
        bench.monitor.ConnectButton_Action();
        QCOMPARE(bench.doubles.notifier.messages,
                 QStringList{QStringLiteral("The serial connection could not be opened.")});
        QVERIFY(!bench.monitor.isConnected());
        QCOMPARE(bench.monitor.PortListUpdater().mode(), Timer::Repeating);
    }

    void alarmSettingsSavedAndReadBack() {
        Bench bench;
        bench.monitor.applyAlarmSettings({61.5, 2500, 70.5, 8.0, 1, 40});
        QVERIFY(bench.monitor.writeAlarmsFile());
        QVERIFY(QFile::exists(bench.doubles.resources.filePath(QStringLiteral("Alarms_Settings.txt"))));

        Monitor reopened(bench.doubles.platform());
        reopened.open();
        const MonitorState& r = reopened.state();
        QCOMPARE(r.ValeurAlarmeUin, 61.5);
        QCOMPARE(r.ValeurAlarmeRPM, qint64(2500));
        QCOMPARE(r.ValeurAlarmeTemp, 70.5);
        QCOMPARE(r.ValeurHautePression, 8.0);
        QCOMPARE(r.ValeurModeCalage, qint64(1));
        QCOMPARE(r.VolumeAlarmeHydro, qint64(40));
        QVERIFY(bench.doubles.notifier.messages.isEmpty());
    }

    void alarmSettingsWriteFailureTellsTheUser() {
        TestPlatform doubles;
        FixedResourceFolder missing(doubles.dir.path() + QStringLiteral("/no/such/folder"));
        Platform platform = doubles.platform();
        Platform broken{platform.clock,      platform.wallClock, platform.timers, platform.port,
                        platform.devices,    platform.notifier,  platform.sound,  missing,
                        platform.userFolders};
        Monitor monitor(broken);
        {
            AlarmSettingValues values = monitor.alarmSettings();
            values.ValeurAlarmeUin = 61.5;
            monitor.applyAlarmSettings(values);
        }
        QVERIFY(!monitor.writeAlarmsFile());
        QCOMPARE(doubles.notifier.messages.size(), 1);
        QCOMPARE(monitor.state().ValeurAlarmeUin, 61.5); // kept in memory
    }

    void closeClosesThePort() {
        Bench bench;
        bench.connectAt500();
        bench.monitor.close();
        QVERIFY(!bench.port.isOpen());
    }
};

QTEST_GUILESS_MAIN(TestMonitor)
#include "tst_monitor.moc"
