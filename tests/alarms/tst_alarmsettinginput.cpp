#include "alarms/AlarmSettingInput.h"

#include <QTest>

#include <optional>

Q_DECLARE_METATYPE(std::optional<double>)

class TestAlarmSettingInput : public QObject {
    Q_OBJECT

private slots:
    void typedText_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<std::optional<double>>("value"); // nullopt: refused

        const QLocale point(QLocale::English, QLocale::UnitedStates);
        const QLocale comma(QLocale::French, QLocale::France);
        const std::optional<double> refused;
        QTest::newRow("point: 53.0") << point << "53.0" << std::optional<double>(53.0);
        QTest::newRow("point: 53,0 is refused") << point << "53,0" << refused;
        QTest::newRow("comma: 53,0") << comma << "53,0" << std::optional<double>(53.0);
        QTest::newRow("comma: 53.0 is refused") << comma << "53.0" << refused;
        QTest::newRow("point: group separators are refused") << point << "1,000" << refused;
        QTest::newRow("point: 1,2,3") << point << "1,2,3" << refused;
        QTest::newRow("comma: 1,2,3") << comma << "1,2,3" << refused;
        QTest::newRow("empty") << point << "" << refused;
        QTest::newRow("spaces only") << point << "   " << refused;
        QTest::newRow("letters") << point << "abc" << refused;
        QTest::newRow("a number followed by letters") << point << "60V" << refused;
        QTest::newRow("a sign alone") << point << "-" << refused;
        QTest::newRow("a separator alone") << point << "." << refused;
        QTest::newRow("exponent") << point << "1e3" << refused;
        QTest::newRow("upper-case exponent") << comma << "1E3" << refused;
        QTest::newRow("too large for a double") << point << QString(400, QLatin1Char('9')) << refused;
        QTest::newRow("negative, no range check") << point << "-7" << std::optional<double>(-7.0);
        QTest::newRow("plus sign") << point << "+5" << std::optional<double>(5.0);
        QTest::newRow("spaces around") << point << " 60 " << std::optional<double>(60.0);
        QTest::newRow("leading separator") << comma << ",5" << std::optional<double>(0.5);
        QTest::newRow("trailing separator") << point << "250." << std::optional<double>(250.0);
        QTest::newRow("a fraction for a whole setting") << point << "250.8" << std::optional<double>(250.8);
    }

    void typedText() {
        QFETCH(QLocale, locale);
        QFETCH(QString, typed);
        QFETCH(std::optional<double>, value);
        QCOMPARE(parseTypedAlarmSetting(typed, locale), value);
    }

    void messageNamesTheSettingAndShowsANumber() {
        const QString point = refusedAlarmSettingMessage(QStringLiteral("Max RPM"), QStringLiteral("abc"),
                                                         QLocale(QLocale::English, QLocale::UnitedStates));
        QCOMPARE(point, QStringLiteral("Max RPM: \"abc\" is not a number, so the previous value is kept. "
                                       "Type a number such as 53.0."));
        const QString comma = refusedAlarmSettingMessage(QStringLiteral("Max RPM"), QString(),
                                                         QLocale(QLocale::French, QLocale::France));
        QVERIFY2(comma.contains(QStringLiteral("\"\"")), qPrintable(comma));
        QVERIFY2(comma.endsWith(QStringLiteral("such as 53,0.")), qPrintable(comma));
    }
};

QTEST_MAIN(TestAlarmSettingInput)
#include "tst_alarmsettinginput.moc"
