#include "core/Captions.h"
#include "core/NumberMask.h"

#include <QTest>

class TestNumberMask : public QObject {
    Q_OBJECT
private slots:
    void format_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("mask");
        QTest::addColumn<QString>("point");
        QTest::addColumn<QString>("comma");
        QTest::newRow("two decimals rounded") << 12.3456 << "0.00" << "12.35" << "12,35";
        QTest::newRow("padded whole") << 56.09 << "000" << "056" << "056";
        QTest::newRow("rounded whole") << 567.8 << "000" << "568" << "568";
        QTest::newRow("longer than mask") << 139.8 << "00.0" << "139.8" << "139,8";
        QTest::newRow("log voltage") << 5.1234 << "00.000" << "05.123" << "05,123";
        QTest::newRow("log rpm") << 7.0 << "00" << "07" << "07";
        QTest::newRow("no thousands separator") << 15200.0 << "0" << "15200" << "15200";
        QTest::newRow("negative padded") << -1.0 << "00.000" << "-01.000" << "-01,000";
        QTest::newRow("negative whole") << -1.0 << "0" << "-1" << "-1";
        QTest::newRow("product of stale markers") << 1.0 << "000" << "001" << "001";
        QTest::newRow("negative rounding to zero") << -0.004 << "0.00" << "0.00" << "0,00";
    }
    void format() {
        QFETCH(double, value);
        QFETCH(QString, mask);
        QFETCH(QString, point);
        QFETCH(QString, comma);
        QCOMPARE(formatMask(value, mask, QLocale::c()), point);
        QCOMPARE(formatMask(value, mask, QLocale(QLocale::French, QLocale::France)), comma);
    }

    void parse_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("commaLocale");
        QTest::addColumn<double>("number");
        QTest::addColumn<qint64>("integer");
        QTest::newRow("point") << "53.0" << false << 53.0 << qint64(53);
        QTest::newRow("comma") << "53,5" << true << 53.5 << qint64(53);
        QTest::newRow("truncated toward zero") << "299.9" << false << 299.9 << qint64(299);
        QTest::newRow("negative truncated toward zero") << "-2.7" << false << -2.7 << qint64(-2);
        QTest::newRow("empty") << "" << false << 0.0 << qint64(0);
        QTest::newRow("letters") << "abc" << false << 0.0 << qint64(0);
        QTest::newRow("leading number") << "150ms" << false << 150.0 << qint64(150);
        QTest::newRow("point in comma locale stops") << "53.5" << true << 53.0 << qint64(53);
    }
    void parse() {
        QFETCH(QString, text);
        QFETCH(bool, commaLocale);
        QFETCH(double, number);
        QFETCH(qint64, integer);
        const QLocale locale = commaLocale ? QLocale(QLocale::French, QLocale::France) : QLocale::c();
        QCOMPARE(parseLocaleNumber(text, locale), number);
        QCOMPARE(parseLocaleInteger(text, locale), integer);
    }

    void leadingIntegerReadsLikeTheEditor() {
        QCOMPARE(leadingInteger(QStringLiteral("450")), qint64(450));
        QCOMPARE(leadingInteger(QStringLiteral("12.7")), qint64(12));
        QCOMPARE(leadingInteger(QStringLiteral("abc")), qint64(0));
    }

    void captionsFallBackToDefaults() {
        QCOMPARE(App::key(App::Caption::kConnectCaption), QStringLiteral("App.kConnectCaption"));
        QCOMPARE(App::text(App::Caption::kUnconnectCaption), QStringLiteral("Disconnect"));
        QCOMPARE(App::text(App::Caption::kDriverLink), QString::fromUtf8("Drivers\u2026"));
        QCOMPARE(App::text(App::Caption::kCVTemp), QString::fromUtf8("Converter Temp. [\u00B0C]"));
        // The tab constants are crossed over on purpose.
        QCOMPARE(App::text(App::Caption::kRawDataTab), QStringLiteral("Values"));
        QCOMPARE(App::text(App::Caption::kValuesTab), QStringLiteral("Raw stream"));
    }
};

QTEST_GUILESS_MAIN(TestNumberMask)
#include "tst_numbermask.moc"
