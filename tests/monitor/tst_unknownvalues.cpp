// What the monitor knows of a device it has not heard since start or since Connect: nothing.
// Its values are hidden on the window, -1 in the CSV log, empty in the second's sample (null on
// MQTT, a gap in the trends), exactly as for a device that fell silent.
#include "Files.h"
#include "Hex.h"
#include "TestPlatform.h"
#include "publish/PublishedValues.h"
#include "trends/SampleRing.h"

#include <QJsonValue>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

namespace {

// U_in 52.5 V, U_out 12.5 V and I_out 5 A (V2), 30.0 degrees, RPM1 300.
const QByteArray kConverter = hexBytes("00 01 10 10 02 0D 30 D4 13 88 AB CD 01 2C 00 C8 00 00 04 3C");
// Pression 5.00 bar, automatic, inactive.
const QByteArray kHpuStatus = hexBytes("00 12 10 07 01 F4 FF 00 00 02 1D");
const QByteArray kUnknownConverter = "-01.000;-01.000;-01.000;-01.0;-01;-01.0;";
const QByteArray kKnownConverter = "52.500;12.500;05.000;62.5;300;30.0;";

struct Bench {
    TestPlatform doubles;
    Monitor monitor{doubles.platform()};
    QSignalSpy seconds{&monitor, &Monitor::secondSampled};

    Bench() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        doubles.devices.setNames({QStringLiteral("ttyUSB0")});
        doubles.timeline.advance(500);
    }
    ~Bench() { QLocale::setDefault(QLocale::system()); }
    void receive(const QByteArray& bytes) {
        doubles.port.feed(bytes);
        doubles.timeline.advance(20);
    }
    SecondSample lastSecond() const { return seconds.last().at(0).value<SecondSample>(); }
    // The CSV log's last line without its time.
    QByteArray lastLogLine() const {
        const QList<QByteArray> lines =
            readAll(doubles.userFolders.documents() + "/2026_03_14_LogOrvane_ttyUSB0.csv").split('\n');
        return lines.size() < 2 ? QByteArray() : lines[lines.size() - 2].mid(9);
    }
};

struct Known {
    bool converter;
    bool hpu;
};

// Every consumer of the monitor sees the same: the labels, the sample, MQTT and the trends.
void expect(const Monitor& monitor, const SecondSample& sample, Known known) {
    const ControlsState& c = monitor.controls();
    for (const LabelState* label : {&c.LabelValue_Uin, &c.LabelValue_Uout, &c.LabelValue_Iout, &c.LabelValue_Pout,
                                    &c.LabelValue_T, &c.LabelValue_RPM})
        QCOMPARE(label->visible, known.converter);
    QCOMPARE(c.LabelValue_Pression.visible, known.hpu);
    QCOMPARE(c.CanvasProp_visible, known.hpu);
    QCOMPARE(c.PompeButton.visible, known.hpu);

    for (const std::optional<double>& value : {sample.inputVoltage, sample.outputVoltage, sample.outputCurrent,
                                               sample.outputPower, sample.speed, sample.temperature})
        QCOMPARE(value.has_value(), known.converter);
    QCOMPARE(sample.pressure.has_value(), known.hpu);
    QCOMPARE(sample.hpuPresent, known.hpu);
    QCOMPARE(sample.hpuMode.isEmpty(), !known.hpu);

    for (const PublishedValue& value : publishedValues()) {
        const QString key = QString::fromLatin1(value.key);
        const bool converterValue = key == "input_voltage" || key == "output_voltage" || key == "output_current" ||
                                    key == "output_power" || key == "speed" || key == "temperature";
        const bool hpuValue = key == "pressure" || key == "hpu_mode" || key == "pitch";
        if (converterValue || hpuValue)
            QVERIFY2(value.read(sample).isNull() == !(converterValue ? known.converter : known.hpu), value.key);
    }

    SampleRing ring(4);
    ring.append(sample);
    QCOMPARE(std::isnan(ring.at(0).value(TrendChannel::InputVoltage)), !known.converter);
    QCOMPARE(std::isnan(ring.at(0).value(TrendChannel::Speed)), !known.converter);
    QCOMPARE(std::isnan(ring.at(0).value(TrendChannel::Pressure)), !known.hpu);
}

} // namespace

class TestUnknownValues : public QObject {
    Q_OBJECT
private slots:
    // From start to the first frames, and again at a Connect that follows a Disconnect at once,
    // when the last frames are only a few milliseconds old.
    void unknownUntilHeardSinceStartOrConnect() {
        Bench b;
        const MonitorState& s = b.monitor.state();
        expect(b.monitor, b.monitor.sample(b.doubles.timeline.now()), {false, false});
        QCOMPARE(s.U_in, kNotKnown);
        QCOMPARE(s.RPM1, qint64(-1));
        QCOMPARE(s.Pression, kNotKnown);

        b.monitor.ConnectButton_Action();
        b.doubles.timeline.advance(500); // the first tick, long before a stale check could fire
        expect(b.monitor, b.lastSecond(), {false, false});
        QCOMPARE(b.lastLogLine(), kUnknownConverter);

        b.receive(kConverter);
        b.doubles.timeline.advance(980);
        expect(b.monitor, b.lastSecond(), {true, false});
        QCOMPARE(b.lastLogLine(), kKnownConverter);

        b.receive(kHpuStatus);
        b.doubles.timeline.advance(980);
        expect(b.monitor, b.lastSecond(), {true, true});
        QCOMPARE(b.lastLogLine(), kKnownConverter + "Auto;5.00;inactive;");

        // Disconnect: the display freezes as it was. Connect again at once: nothing is known.
        b.monitor.ConnectButton_Action();
        expect(b.monitor, b.monitor.sample(b.doubles.timeline.now()), {true, true});
        b.doubles.timeline.advance(100);
        b.monitor.ConnectButton_Action();
        QVERIFY(b.monitor.isConnected());
        // The log tick starts afresh with the connection: two ticks, at least one in a new second.
        b.doubles.timeline.advance(1000);
        expect(b.monitor, b.lastSecond(), {false, false});
        QCOMPARE(b.lastLogLine(), kUnknownConverter);
    }
};

QTEST_GUILESS_MAIN(TestUnknownValues)
#include "tst_unknownvalues.moc"
