#include "FrameFixture.h"
#include "display/ConverterDecoder.h"
#include "display/StaleData.h"

#include <QTest>

// Frames below: header 00 01 10 10, then U_in, U_out, I_out, (unused), TempCV, RPM1, RPM2.
class TestConverterDecoder : public QObject {
    Q_OBJECT
private slots:
    void decodesByVersion_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<QString>("previousVersion");
        QTest::addColumn<QString>("version");
        QTest::addColumn<double>("uIn");
        QTest::addColumn<double>("uOut");
        QTest::addColumn<double>("iOut");
        QTest::addColumn<double>("temp");
        QTest::addColumn<qint64>("rpm1");
        QTest::addColumn<qint64>("rpm2");
        QTest::addColumn<double>("pOut");

        // Every row starts from the values of an earlier frame. A frame of neither version
        // carries the input voltage and the temperature (same scale in both versions); the
        // output side and the speeds are then not known, and neither is the power.
        const double unknown = -1.0;
        const qint64 unknownSpeed = -1;

        // clang-format off
        QTest::newRow("V1 lowest raw 71")
            << "00 01 10 10 01 F4 00 47 00 19 AB CD 01 36 00 C8 00 D2" << "V2" << "V1"
            << 50.0 << 7.1 << 2.5 << 31.0 << qint64(3000) << qint64(3150) << 7.1 * 2.5;
        QTest::newRow("V1 highest raw 349")
            << "00 01 10 10 01 F4 01 5D 00 19 00 00 01 36 00 C8 00 D2" << "V2" << "V1"
            << 50.0 << 34.9 << 2.5 << 31.0 << qint64(3000) << qint64(3150) << 34.9 * 2.5;
        QTest::newRow("raw 70 is neither")
            << "00 01 10 10 01 F4 00 46 00 19 00 00 01 36 00 C8 00 D2" << "V1" << "V1"
            << 50.0 << unknown << unknown << 31.0 << unknownSpeed << unknownSpeed << unknown;
        QTest::newRow("raw 350 is neither")
            << "00 01 10 10 01 F4 01 5E 00 19 00 00 01 36 00 C8 00 D2" << "V2" << "V2"
            << 50.0 << unknown << unknown << 31.0 << unknownSpeed << unknownSpeed << unknown;
        QTest::newRow("V2 lowest raw 7001, speed 1001 truncated")
            << "00 01 10 10 01 F4 1B 59 00 19 00 00 01 36 03 E9 00 D2" << "V1" << "V2"
            << 50.0 << 7.001 << 0.025 << 31.0 << qint64(1501) << qint64(0) << 7.001 * 0.025;
        QTest::newRow("V2 highest raw 34999")
            << "00 01 10 10 01 F4 88 B7 13 88 00 00 01 36 03 E9 00 D2" << "V1" << "V2"
            << 50.0 << 34.999 << 5.0 << 31.0 << qint64(1501) << qint64(0) << 34.999 * 5.0;
        QTest::newRow("raw 7000 is neither")
            << "00 01 10 10 01 F4 1B 58 00 19 00 00 01 36 03 E9 00 D2" << "V1" << "V1"
            << 50.0 << unknown << unknown << 31.0 << unknownSpeed << unknownSpeed << unknown;
        QTest::newRow("raw 35000 is neither")
            << "00 01 10 10 01 F4 88 B8 00 19 00 00 01 36 03 E9 00 D2" << "V1" << "V1"
            << 50.0 << unknown << unknown << 31.0 << unknownSpeed << unknownSpeed << unknown;
        QTest::newRow("raw 65535 is neither")
            << "00 01 10 10 01 F4 FF FF 00 19 00 00 01 36 03 E9 00 D2" << "V2" << "V2"
            << 50.0 << unknown << unknown << 31.0 << unknownSpeed << unknownSpeed << unknown;
        QTest::newRow("largest temperature FF FF")
            << "00 01 10 10 00 00 00 F0 00 19 00 00 FF FF 00 00 00 00" << "V2" << "V1"
            << 0.0 << 24.0 << 2.5 << 6553.5 << qint64(0) << qint64(0) << 60.0;
        QTest::newRow("largest speeds FF FF")
            << "00 01 10 10 FF FF 00 F0 FF FF 00 00 00 00 FF FF FF FF" << "V2" << "V1"
            << 6553.5 << 24.0 << 6553.5 << 0.0 << qint64(983025) << qint64(983025) << 24.0 * 6553.5;
        // clang-format on
    }
    void decodesByVersion() {
        QFETCH(QString, frame);
        QFETCH(QString, previousVersion);
        MonitorState state;
        state.ProtocoleVersion = previousVersion;
        state.U_out = 12.5;
        state.I_out = 2.0;
        state.TempCV = 30.0;
        state.RPM1 = 111;
        state.RPM2 = 222;
        loadFrame(state, frame.toLatin1().constData());

        keepConverterFrame(state);

        QTEST(state.ProtocoleVersion, "version");
        QTEST(state.U_in, "uIn");
        QTEST(state.U_out, "uOut");
        QTEST(state.I_out, "iOut");
        QTEST(state.TempCV, "temp");
        QTEST(state.RPM1, "rpm1");
        QTEST(state.RPM2, "rpm2");
        QTEST(state.P_out, "pOut");

        // The reading itself leaves what the frame did not carry empty, with no version.
        QFETCH(double, uOut);
        const ConverterReading reading = decodeConverterFrame(state.TrameBuffer);
        const bool carried = uOut != -1.0;
        QVERIFY(reading.U_in && reading.TempCV);
        QCOMPARE(reading.U_out.has_value(), carried);
        QCOMPARE(reading.P_out.has_value(), carried);
        QCOMPARE(reading.speed().has_value(), carried);
        QCOMPARE(reading.ProtocoleVersion.isEmpty(), !carried);
    }

    void showsMaskedValues_data() {
        QTest::addColumn<QString>("frame");
        QTest::addColumn<bool>("comma");
        QTest::addColumn<QStringList>("texts"); // Uin, Uout, Iout, Pout, T, RPM

        const char* v1 = "00 01 10 10 02 13 00 F0 00 19 00 00 01 39 00 C8 00 D2";
        QTest::newRow("V1 240/25, speeds 200/210, point")
            << v1 << false << QStringList{"53.10", "24.00", "2.50", "060", "31.30", "3150"};
        QTest::newRow("V1 240/25, speeds 200/210, comma")
            << v1 << true << QStringList{"53,10", "24,00", "2,50", "060", "31,30", "3150"};
        // 12.345 V x 12.345 A = 152.399 W; the speed is the single V2 speed.
        const char* v2 = "00 01 10 10 00 7B 30 39 30 39 00 00 00 00 03 E9 FF FF";
        QTest::newRow("V2 rounding, point")
            << v2 << false << QStringList{"12.30", "12.35", "12.35", "152", "0.00", "1501"};
        QTest::newRow("V2 rounding, comma")
            << v2 << true << QStringList{"12,30", "12,35", "12,35", "152", "0,00", "1501"};
        QTest::newRow("RPM1 larger than RPM2")
            << "00 01 10 10 00 00 00 F0 00 00 00 00 00 00 00 D3 00 D2" << false
            << QStringList{"0.00", "24.00", "0.00", "000", "0.00", "3165"};
    }
    void showsMaskedValues() {
        QFETCH(QString, frame);
        QFETCH(bool, comma);
        QFETCH(QStringList, texts);
        MonitorState state;
        ControlsState controls;
        // Hidden as after a stale reset: the frame shows them again.
        stopConverterData(state, controls);
        loadFrame(state, frame.toLatin1().constData());

        keepConverterFrame(state);
        show(state, controls, comma ? commaLocale() : pointLocale());

        const QList<const LabelState*> labels{&controls.LabelValue_Uin,  &controls.LabelValue_Uout,
                                              &controls.LabelValue_Iout, &controls.LabelValue_Pout,
                                              &controls.LabelValue_T,    &controls.LabelValue_RPM};
        for (int i = 0; i < labels.size(); ++i) {
            QCOMPARE(labels[i]->text, texts[i]);
            QVERIFY(labels[i]->visible);
        }
    }

    // A frame of neither version shows the input voltage and the temperature it carries and
    // hides the four values it does not, whether an earlier frame or the stale reset came
    // before: the -1 marker is never written as a measurement, nor the old values as live.
    void neitherVersionShowsOnlyWhatItCarries_data() {
        QTest::addColumn<bool>("staleBefore");
        QTest::addColumn<bool>("comma");
        QTest::addColumn<QString>("uIn");
        QTest::addColumn<QString>("temp");
        QTest::newRow("after a V1 frame, point") << false << false << "51.50"
                                                 << "31.10";
        QTest::newRow("after the stale reset, point") << true << false << "51.50"
                                                      << "31.10";
        QTest::newRow("after the stale reset, comma") << true << true << "51,50"
                                                      << "31,10";
    }
    void neitherVersionShowsOnlyWhatItCarries() {
        QFETCH(bool, staleBefore);
        QFETCH(bool, comma);
        MonitorState state;
        ControlsState controls;
        loadFrame(state, "00 01 10 10 01 F4 00 F0 00 19 00 00 01 36 00 C8 00 D2");
        keepConverterFrame(state);
        show(state, controls, pointLocale());
        QCOMPARE(state.ProtocoleVersion, QStringLiteral("V1"));
        if (staleBefore)
            stopConverterData(state, controls);

        loadFrame(state, "00 01 10 10 02 03 00 46 00 19 00 00 01 37 00 C8 00 D2");
        keepConverterFrame(state);
        show(state, controls, comma ? commaLocale() : pointLocale());

        QCOMPARE(state.ProtocoleVersion, QStringLiteral("V1")); // the last version seen
        QCOMPARE(state.P_out, -1.0);
        QVERIFY(controls.LabelValue_Uin.visible && controls.LabelValue_T.visible);
        QTEST(controls.LabelValue_Uin.text, "uIn");
        QTEST(controls.LabelValue_T.text, "temp");
        for (const LabelState* hidden : {&controls.LabelValue_Uout, &controls.LabelValue_Iout,
                                         &controls.LabelValue_Pout, &controls.LabelValue_RPM}) {
            QVERIFY(!hidden->visible);
            QVERIFY(!hidden->text.contains(QLatin1Char('-')));
        }

        // The next frame of a known version shows all six again.
        loadFrame(state, "00 01 10 10 02 03 00 F0 00 19 00 00 01 37 00 C8 00 D2");
        keepConverterFrame(state);
        show(state, controls, pointLocale());
        QVERIFY(controls.LabelValue_Uout.visible && controls.LabelValue_Pout.visible &&
                controls.LabelValue_RPM.visible);
        QCOMPARE(controls.LabelValue_Pout.text, QStringLiteral("060"));
    }

    void showingTouchesNothingElse() {
        MonitorState state;
        ControlsState controls;
        loadFrame(state, "00 01 10 10 01 F4 00 F0 00 19 00 00 01 36 00 C8 00 D2");
        keepConverterFrame(state);
        const ControlsState before = controls;
        show(state, controls, pointLocale());
        QCOMPARE(controls.LabelValue_Pression.visible, before.LabelValue_Pression.visible);
        QCOMPARE(controls.CanvasProp_visible, before.CanvasProp_visible);
        QCOMPARE(controls.Rect_AlertRPM, before.Rect_AlertRPM);
        QCOMPARE(state.timeLastDataCV, qint64(0)); // the link stamps it after the call
    }
};

QTEST_GUILESS_MAIN(TestConverterDecoder)
#include "tst_converterdecoder.moc"
