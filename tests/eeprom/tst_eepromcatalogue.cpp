#include "EepromTestDoubles.h"
#include "core/Captions.h"
#include "eeprom/ColumnWidths.h"
#include "eeprom/EepromCatalogue.h"
#include "eeprom/EepromUnits.h"
#include "eeprom/HpuEepromFields.h"

#include <QTest>

// The parameter catalogue, the unit table, the answer decoding and the address lookup.
class TestEepromCatalogue : public QObject {
    Q_OBJECT
private slots:
    void catalogueTextIsEighteenLinesOfNineFields() {
        const QString text = App::text(App::Caption::kEEPROMHPU);
        QVERIFY(!text.endsWith(QLatin1Char('\n')));
        const QStringList lines = text.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 18);
        for (int i = 0; i < lines.size(); ++i) {
            const QStringList fields = lines[i].split(QLatin1Char('\t'));
            QCOMPARE(fields.size(), 9);
            if (i > 0) {
                QVERIFY2(fields[7].isEmpty() && fields[8].isEmpty(), qPrintable(lines[i]));
            }
        }
        QCOMPARE(
            lines[0],
            QStringLiteral("Address\tParameter\tDescribtion\tMin\tMax\tDefault\tUnity\tValue\tReal value"));
    }

    void catalogueRows_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("line");
        const char* rows[] = {
            "29|TYPE_PALES|Pitch orientation (0 = classic, 1 = reversed)|0|1|0|-",
            "30|PRESSION_MAX|Max pressure|0|820|800|0.01 bar",
            "31|PRESSION_MIN|Min pressure|0|820|50|0.01 bar",
            "33|TENSION_ALTERNATEUR_HAUTE|Max generator voltage|0|550|500|0.1 V",
            "34|TENSION_ALTERNATEUR_BASSE|Min generator voltage|0|550|200|0.1 V",
            "36|RPM_ALTERNATEUR_HAUTE|Max RPM|0|5000|1800|RPM",
            "35|RPM_ALTERNATEUR_MIN|Min RPM|0|5000|900|RPM",
            "37|PUISSANCE_ALTERNATEUR_MAX|Max Power|0|600|550|W",
            "38|PUISSANCE_ALTERNATEUR_MIN|Min Power|0|600|200|W",
            "32|INCREMENT_PRESSION|Pressure increment|1|200|50|0.01 bar",
            "39|TEMPS_ACTIVATION_EV_TRES_BASSE_PRESSION|Solenoid aperture time in low pressure|0|100|20|10 "
            "ms",
            "40|TEMPS_ACTIVATION_EV|Solenoid aperture time in high pressure|0|10|2|10 ms",
            "41|TEMPS_ACTIVATION_EV_DECOLLAGE_JOINT|Solenoid aperture time after pump event|0|20|8|10 ms",
            "42|TEMPS_ATTENTE|Time between pulses|0|100|30|10 ms",
            "43|PWM_MOTEUR_NOMINALE|Motor PWM|0|255|80|-",
            "44|TEMPS_FREQUENCE_NULLE|Delay time before releasing if RPM=0|0|10000|4000|20 ms",
            "45|TEMPO_MISE_DRAPEAU|Full pumping for feathering before immersion|0|65535|15000|ms",
        };
        for (int i = 0; i < 17; ++i)
            QTest::newRow(qPrintable(QStringLiteral("row %1").arg(i))) << i << QString::fromLatin1(rows[i]);
    }
    // Every parameter row, as the HPU's documentation lists it, in list order.
    void catalogueRows() {
        QFETCH(int, row);
        QFETCH(QString, line);
        const EepromCatalogue catalogue = EepromCatalogue::current();
        QCOMPARE(catalogue.heading.size(), 9);
        QCOMPARE(catalogue.rows.size(), 17);
        const QStringList expected = line.split(QLatin1Char('|')) + QStringList{QString(), QString()};
        QCOMPARE(catalogue.rows[row], expected);
    }

    void parsePadsAndCutsToNineFields() {
        const EepromCatalogue c =
            EepromCatalogue::parse(QStringLiteral("A\tB\nx\ty\n1\t2\t3\t4\t5\t6\t7\t8\t9\t10"));
        QCOMPARE(c.heading.size(), 9);
        QCOMPARE(c.heading[1], QStringLiteral("B"));
        QCOMPARE(c.rows.size(), 2);
        QCOMPARE(c.rows[0], (QStringList{"x", "y", "", "", "", "", "", "", ""}));
        QCOMPARE(c.rows[1].size(), 9);
        QCOMPARE(c.rows[1][8], QStringLiteral("9"));
    }

    // Each parameter's numbers are read once from its row; a one-byte parameter (Max at most
    // 255) can hold no more than 255, whatever its Max.
    void parametersAreTyped_data() {
        QTest::addColumn<qint64>("address");
        QTest::addColumn<QString>("identifier");
        QTest::addColumn<qint64>("min");
        QTest::addColumn<qint64>("max");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<qint64>("largestRaw");
        QTest::newRow("one bit") << qint64(29) << "TYPE_PALES" << qint64(0) << qint64(1) << "-"
                                 << qint64(255);
        QTest::newRow("one byte") << qint64(43) << "PWM_MOTEUR_NOMINALE" << qint64(0) << qint64(255) << "-"
                                  << qint64(255);
        QTest::newRow("min above 0") << qint64(32) << "INCREMENT_PRESSION" << qint64(1) << qint64(200)
                                     << "0.01 bar" << qint64(255);
        QTest::newRow("two bytes") << qint64(30) << "PRESSION_MAX" << qint64(0) << qint64(820) << "0.01 bar"
                                   << qint64(65535);
        QTest::newRow("two bytes, whole range")
            << qint64(45) << "TEMPO_MISE_DRAPEAU" << qint64(0) << qint64(65535) << "ms" << qint64(65535);
    }
    void parametersAreTyped() {
        QFETCH(qint64, address);
        QFETCH(QString, identifier);
        QFETCH(qint64, min);
        QFETCH(qint64, max);
        QFETCH(QString, unit);
        QFETCH(qint64, largestRaw);
        const EepromCatalogue catalogue = EepromCatalogue::current();
        QCOMPARE(catalogue.parameters.size(), catalogue.rows.size());
        const EepromParameter* p = catalogue.find(address);
        QVERIFY(p);
        const int row = int(p - catalogue.parameters.constData());
        QCOMPARE(p->identifier, identifier);
        QCOMPARE(p->description, catalogue.rows[row][kColDescribtion]);
        QCOMPARE(p->min, min);
        QCOMPARE(p->max, max);
        QCOMPARE(p->unit, unit);
        QCOMPARE(p->largestRaw(), largestRaw);
    }

    void addressesOutsideTheCatalogueHoldNothing() {
        const EepromCatalogue catalogue = EepromCatalogue::current();
        for (qint64 address : {qint64(-1), qint64(0), qint64(28), qint64(46), qint64(65536)})
            QVERIFY2(!catalogue.find(address), qPrintable(QString::number(address)));
    }

    void realValue_data() {
        QTest::addColumn<qint64>("value");
        QTest::addColumn<QString>("unity");
        QTest::addColumn<QString>("point");
        QTest::addColumn<QString>("comma");
        QTest::newRow("tenths of a volt") << qint64(500) << "0.1 V"
                                          << "50.0 [V]"
                                          << "50,0 [V]";
        QTest::newRow("hundredths of a bar") << qint64(800) << "0.01 bar"
                                             << "8.00 [bar]"
                                             << "8,00 [bar]";
        QTest::newRow("10 ms ticks in seconds") << qint64(20) << "10 ms"
                                                << "0.200 [s]"
                                                << "0,200 [s]";
        QTest::newRow("20 ms ticks in whole seconds") << qint64(4000) << "20 ms"
                                                      << "80 [s]"
                                                      << "80 [s]";
        QTest::newRow("20 ms ticks rounded") << qint64(4010) << "20 ms"
                                             << "80 [s]"
                                             << "80 [s]";
        QTest::newRow("milliseconds") << qint64(15000) << "ms"
                                      << "15000 [ms]"
                                      << "15000 [ms]";
        QTest::newRow("no unit") << qint64(80) << "-"
                                 << "80 [-]"
                                 << "80 [-]";
        QTest::newRow("watts") << qint64(550) << "W"
                               << "550 [W]"
                               << "550 [W]";
        QTest::newRow("rpm") << qint64(1800) << "RPM"
                             << "1800 [RPM]"
                             << "1800 [RPM]";
        QTest::newRow("seconds") << qint64(12) << "s"
                                 << "12 [s]"
                                 << "12 [s]";
        QTest::newRow("minutes") << qint64(3) << "min"
                                 << "3 [min]"
                                 << "3 [min]";
        QTest::newRow("unknown unit") << qint64(7) << "furlong"
                                      << "7 [-]"
                                      << "7 [-]";
        QTest::newRow("whole field compared") << qint64(500) << "0.1 V "
                                              << "500 [-]"
                                              << "500 [-]";
        QTest::newRow("unknown address value") << qint64(-1) << "0.1 V"
                                               << "-0.1 [V]"
                                               << "-0,1 [V]";
    }
    void realValue() {
        QFETCH(qint64, value);
        QFETCH(QString, unity);
        QFETCH(QString, point);
        QFETCH(QString, comma);
        QCOMPARE(realValueText(value, unity, QLocale::c()), point);
        QCOMPARE(realValueText(value, unity, QLocale(QLocale::German, QLocale::Germany)), comma);
    }

    void decodeReadsEveryFieldInAddressOrder() {
        ByteArray41 buffer{};
        const QByteArray answer = defaultsReadAnswer();
        std::copy(answer.begin(), answer.end(), buffer.begin());
        HpuEepromFields f;
        f.decodeLectEEPROMHPU(buffer);
        const QVector<qint64> byAddress = {0,   800, 50, 50, 500, 200, 900,  1800, 550,
                                           200, 20,  2,  8,  30,  80,  4000, 15000};
        for (int address = 29; address <= 45; ++address)
            QCOMPARE(f.valueAtAddress(address), byAddress[address - 29]);
        QCOMPARE(f.PRE_RPMNom, qint64(900)); // address 35, elements 14-15
        QCOMPARE(f.PRE_RPMMax, qint64(1800));
        QCOMPARE(f.SYS_NoCarte, qint64(42));
        QCOMPARE(f.SYS_VersionSoft, qint64(259));
    }

    void decodeIsUnsigned() {
        ByteArray41 buffer{};
        buffer.fill(0xFF);
        HpuEepromFields f;
        f.decodeLectEEPROMHPU(buffer);
        QCOMPARE(f.PRE_TypePale, qint64(255));
        QCOMPARE(f.PRE_Temps_mise_drapeau, qint64(65535));
    }

    void lookup_data() {
        QTest::addColumn<qint64>("address");
        QTest::addColumn<qint64>("value");
        QTest::newRow("below the parameters") << qint64(28) << qint64(-1);
        QTest::newRow("above the board number") << qint64(47) << qint64(-1);
        QTest::newRow("board number") << qint64(46) << qint64(42);
        QTest::newRow("first parameter") << qint64(29) << qint64(0);
        QTest::newRow("last parameter") << qint64(45) << qint64(15000);
        QTest::newRow("negative") << qint64(-1) << qint64(-1);
    }
    void lookup() {
        QFETCH(qint64, address);
        QFETCH(qint64, value);
        ByteArray41 buffer{};
        const QByteArray answer = defaultsReadAnswer();
        std::copy(answer.begin(), answer.end(), buffer.begin());
        HpuEepromFields f;
        f.decodeLectEEPROMHPU(buffer);
        QCOMPARE(f.valueAtAddress(address), value);
    }

    void fieldsStartUnknown() {
        const HpuEepromFields f;
        for (int address = 29; address <= 46; ++address)
            QCOMPARE(f.valueAtAddress(address), qint64(-1));
        QCOMPARE(f.SYS_VersionSoft, qint64(-1));
    }

    void columnWidths_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<int>("total");
        QTest::addColumn<QVector<int>>("widths");
        QTest::newRow("window list") << "0, 0, 65%,0,0,0,0,10%,25%" << 540
                                     << QVector<int>{0, 0, 351, 0, 0, 0, 0, 54, 135};
        QTest::newRow("rounded down, never wider")
            << "0, 0, 65%,0,0,0,0,10%,25%" << 541 << QVector<int>{0, 0, 351, 0, 0, 0, 0, 54, 135};
        QTest::newRow("points and missing entries")
            << "40, 12%" << 100 << QVector<int>{40, 12, 0, 0, 0, 0, 0, 0, 0};
        QTest::newRow("junk is zero") << "x,-5,7" << 100 << QVector<int>{0, 0, 7, 0, 0, 0, 0, 0, 0};
    }
    void columnWidths() {
        QFETCH(QString, list);
        QFETCH(int, total);
        QFETCH(QVector<int>, widths);
        QCOMPARE(columnWidthsFromList(list, total, 9), widths);
    }
};

QTEST_GUILESS_MAIN(TestEepromCatalogue)
#include "tst_eepromcatalogue.moc"
