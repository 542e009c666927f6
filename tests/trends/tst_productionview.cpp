#include "FileDialogAnswerer.h"
#include "Files.h"
#include "MessageBoxAnswerer.h"
#include "Recorders.h"
#include "app/MessageBoxNotifier.h"
#include "app/Translations.h"
#include "trends/SampleRing.h"
#include "trends/ui/ProductionView.h"
#include "trends/ui/TrendChart.h"
#include "trends/ui/TrendsWindow.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTranslator>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

// The trends window's Production view on real log files: the month's bars and totals, the
// previous and next month, today's total joined by the live seconds, the adapter summed, a
// window closed while the month is read, the export of the daily totals (a failure told by a
// real message box). Also the window as assistive technology sees it, and value axes that
// start where the values do.
namespace {

const QByteArray kHeader = "LOG ORVANE\n  time  ;  U_in[V]; U_out[V]; I_out[A]; P_out[W]; RPM; Temp[0C];\n";
const QString kAdapter = QStringLiteral("FT4ABCDE");
const QString kOtherAdapter = QStringLiteral("FT9ZZZZZ");
const QDateTime kNow(QDate(2026, 3, 14), QTime(10, 0));

QByteArray seconds(QTime from, int count, const char* power) {
    QByteArray text;
    text.reserve(count * 48);
    for (int i = 0; i < count; ++i)
        text += from.addSecs(i).toString(QStringLiteral("HH:mm:ss")).toLatin1() + ";48.512;27.310;05.120;" +
                power + ";1520;35.2;\n";
    return text;
}

TrendPoint powerAt(const QDateTime& time, std::optional<double> watts) {
    TrendPoint p;
    p.time = time.toMSecsSinceEpoch();
    p.set(TrendChannel::OutputPower, watts);
    return p;
}

// A trends window on a ring of its own, the clock and the connected adapter set by the test.
struct Standalone {
    explicit Standalone(Notifier* realNotifier = nullptr)
        : window(
              ring,
              [] {
                  return TrendThresholds{53.0, 3000.0, 80.0, 5.0};
              },
              realNotifier ? *realNotifier : notifier, geometry, [this] { return dir.path(); }) {
        view()->setClock([this] { return now; });
        view()->setLiveAdapter([this] { return liveAdapter; });
    }
    ProductionView* view() const { return window.productionView(); }
    QString text(const char* label) const { return window.findChild<QLabel*>(QLatin1String(label))->text(); }
    QPushButton* button(const char* name) const { return window.findChild<QPushButton*>(QLatin1String(name)); }
    QString log(const QDate& date, const QString& adapter = kAdapter) const {
        return dir.filePath(date.toString(QStringLiteral("yyyy_MM_dd_'LogOrvane_'")) + adapter +
                            QStringLiteral(".csv"));
    }
    bool waitLoaded() {
        return QTest::qWaitFor([this] { return view()->isLoaded() && !view()->isReading(); }, 60000);
    }
    // Shows the Production page and waits for its month.
    bool showProduction() {
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return false;
        window.showProduction();
        return waitLoaded();
    }

    SampleRing ring;
    FileDialogAnswerer files; // the real dialogs, answered
    RecordingNotifier notifier;
    MemoryWindowGeometryStore geometry;
    QTemporaryDir dir;
    QDateTime now = kNow;
    QString liveAdapter = kAdapter;
    TrendsWindow window;
};

bool near(double a, double b) {
    return std::fabs(a - b) < 1e-6;
}

} // namespace

class TestProductionView : public QObject {
    Q_OBJECT
private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    // The month of today: a bar a day, today's total, the month's; the previous month and back.
    void showsTheMonthWithTodayAndStepsThroughMonths() {
        Standalone s;
        writeFile(s.log(QDate(2026, 3, 1)), kHeader + seconds(QTime(10, 0), 3600, "1000.0"));
        writeFile(s.log(QDate(2026, 3, 14)), kHeader + seconds(QTime(8, 0), 600, "600.0"));
        writeFile(s.log(QDate(2026, 2, 10)), kHeader + seconds(QTime(10, 0), 3600, "2000.0"));
        QVERIFY(s.showProduction());
        QVERIFY(s.window.isShowingProduction());
        QCOMPARE(s.view()->adapter(), kAdapter);
        QCOMPARE(s.text("MonthLabel"), QStringLiteral("March 2026"));
        QCOMPARE(s.text("TodayLabel"), QStringLiteral("Today: 0.100 kWh"));
        QCOMPARE(s.text("MonthTotalLabel"), QStringLiteral("March 2026: 1.100 kWh"));
        QList<qreal> bars = s.view()->barValues();
        QCOMPARE(bars.size(), 31);
        QVERIFY(near(bars[0], 1.0));
        QVERIFY(near(bars[13], 0.1));
        QCOMPARE(std::count(bars.begin(), bars.end(), 0.0), 29);
        QVERIFY(!s.button("NextMonthButton")->isEnabled()); // no logs of the future

        QTest::mouseClick(s.button("PreviousMonthButton"), Qt::LeftButton);
        QVERIFY(s.waitLoaded());
        QCOMPARE(s.text("MonthLabel"), QStringLiteral("February 2026"));
        QCOMPARE(s.text("MonthTotalLabel"), QStringLiteral("February 2026: 2.000 kWh"));
        QCOMPARE(s.text("TodayLabel"), QStringLiteral("Today: 0.100 kWh")); // today stays at hand
        bars = s.view()->barValues();
        QCOMPARE(bars.size(), 28);
        QVERIFY(near(bars[9], 2.0));
        QVERIFY(s.button("NextMonthButton")->isEnabled());

        // A month without logs: not known, not 0.
        QTest::mouseClick(s.button("PreviousMonthButton"), Qt::LeftButton);
        QVERIFY(s.waitLoaded());
        QCOMPARE(s.text("MonthTotalLabel"), QStringLiteral("January 2026: not known"));

        s.view()->showNextMonth();
        QTest::mouseClick(s.button("NextMonthButton"), Qt::LeftButton);
        QVERIFY(s.waitLoaded());
        QCOMPARE(s.text("MonthTotalLabel"), QStringLiteral("March 2026: 1.100 kWh"));
    }

    // Today's total is today's log and the live seconds the log does not hold, each second
    // once, also across midnight; the live seconds count only for their own adapter.
    void liveSecondsJoinTodaysLog() {
        Standalone s;
        writeFile(s.log(QDate(2026, 3, 14)), kHeader + seconds(QTime(8, 0), 600, "600.0"));
        writeFile(s.log(QDate(2026, 3, 14), kOtherAdapter), kHeader + seconds(QTime(9, 0), 3600, "50.0"));
        // The ring's last hour overlaps the log's last five minutes.
        for (int k = 0; k < 600; ++k)
            s.ring.appendPoint(powerAt(QDateTime(kNow.date(), QTime(8, 5)).addSecs(k), 600.0));
        QVERIFY(s.showProduction());
        QCOMPARE(s.text("TodayLabel"), QStringLiteral("Today: 0.150 kWh"));

        QSignalSpy changed(s.view(), &ProductionView::totalsChanged);
        s.ring.appendPoint(powerAt(kNow, 3600.0));
        QCOMPARE(s.text("TodayLabel"), QStringLiteral("Today: 0.151 kWh"));
        QCOMPARE(changed.size(), 1);
        s.ring.appendPoint(powerAt(kNow, 3600.0));                             // the same second again
        s.ring.appendPoint(powerAt(kNow.addSecs(1), std::nullopt));            // power not known
        QCOMPARE(s.text("TodayLabel"), QStringLiteral("Today: 0.151 kWh"));
        QCOMPARE(changed.size(), 1);

        // Midnight: the new day starts from its first live second; the last day keeps its bar.
        s.now = QDateTime(QDate(2026, 3, 15), QTime(0, 0));
        s.ring.appendPoint(powerAt(s.now, 7200.0));
        QCOMPARE(s.text("TodayLabel"), QStringLiteral("Today: 0.002 kWh"));
        QVERIFY(near(s.view()->barValues()[13], 0.151));
        QVERIFY(near(s.view()->barValues()[14], 0.002));

        // A log of another adapter open in the curves: its adapter is the one summed, and the
        // ring's seconds, which are not its own, do not count.
        s.now = kNow;
        s.window.openLog(s.log(QDate(2026, 3, 14), kOtherAdapter));
        QVERIFY(!s.window.isShowingProduction());
        s.window.showProduction();
        QVERIFY(s.waitLoaded());
        QCOMPARE(s.view()->adapter(), kOtherAdapter);
        QCOMPARE(s.text("TodayLabel"), QStringLiteral("Today: 0.050 kWh"));
        s.ring.appendPoint(powerAt(kNow.addSecs(5), 3600.0));
        QCOMPARE(s.text("TodayLabel"), QStringLiteral("Today: 0.050 kWh"));

        // Nothing connected, no log open: the adapter of the newest log in the folder.
        s.window.showLive();
        s.liveAdapter.clear();
        writeFile(s.log(QDate(2026, 3, 13), kOtherAdapter), kHeader);
        writeFile(s.log(QDate(2026, 3, 15), kOtherAdapter), kHeader + seconds(QTime(0, 0), 10, "360.0"));
        s.view()->reload();
        QVERIFY(s.waitLoaded());
        QCOMPARE(s.view()->adapter(), kOtherAdapter);
    }

    // Closed, or turned to the curves, while the month is read: the reading is given up at
    // once and never reports; shown again, the month is read afresh.
    void closedWhileReadingThenShownAgain() {
        Standalone s;
        for (int d = 1; d <= 4; ++d)
            writeFile(s.log(QDate(2026, 3, d)), kHeader + seconds(QTime(0, 0), 21600, "100.0"));
        s.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.window));
        QSignalSpy loaded(s.view(), &ProductionView::loaded);
        s.window.showProduction();
        QVERIFY(s.view()->isReading());
        s.window.close();
        QVERIFY(!s.view()->isReading());
        s.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.window));
        QVERIFY(s.view()->isReading());
        s.window.showCurves();
        QVERIFY(!s.view()->isReading());
        QTest::qWait(200);
        QCOMPARE(loaded.size(), 0);
        QVERIFY(!s.view()->isLoaded());

        s.window.showProduction();
        QVERIFY(s.waitLoaded());
        QCOMPARE(loaded.size(), 1);
        QCOMPARE(s.text("MonthTotalLabel"), QStringLiteral("March 2026: 2.400 kWh"));
    }

    // Export CSV…: the daily totals where the user chose; a file that cannot be written is
    // told by a real message box.
    void exportsTheDailyTotals() {
        {
            Standalone s;
            writeFile(s.log(QDate(2026, 3, 2)), kHeader + seconds(QTime(10, 0), 360, "1000.0"));
            QVERIFY(s.showProduction());
            s.files.answer = s.dir.filePath(QStringLiteral("march.csv"));
            QTest::mouseClick(s.button("ExportDailyCsvButton"), Qt::LeftButton);
            QCOMPARE(s.files.offers.size(), 1);
            QCOMPARE(s.files.offers.first().suggestedPath(),
                     s.dir.filePath(QStringLiteral("2026_03_Production_FT4ABCDE.csv")));
            const QList<QByteArray> lines = readAll(s.files.answer).split('\n');
            QCOMPARE(lines.size(), 33);
            QCOMPARE(lines[1], QByteArray("2026-03-01;;0"));
            QCOMPARE(lines[2], QByteArray("2026-03-02;0.1000;360"));
            QVERIFY(s.notifier.messages.isEmpty());

            s.files.answer.clear(); // cancelled: nothing written, nothing said
            QTest::mouseClick(s.button("ExportDailyCsvButton"), Qt::LeftButton);
            QCOMPARE(s.files.offers.size(), 2);
            QVERIFY(s.notifier.messages.isEmpty());
        }
        MessageBoxNotifier boxes;
        Standalone s(&boxes);
        QVERIFY(s.showProduction());
        boxes.setParent(&s.window);
        MessageBoxAnswerer answerer;
        s.files.answer = s.dir.filePath(QStringLiteral("gone/march.csv"));
        QTest::mouseClick(s.button("ExportDailyCsvButton"), Qt::LeftButton);
        QCOMPARE(s.files.offers.size(), 1);
        QCOMPARE(answerer.texts.size(), 1);
        QVERIFY2(answerer.texts.first().startsWith(QStringLiteral("Unable to write")),
                 qPrintable(answerer.texts.first()));
        QVERIFY(!QFileInfo::exists(s.files.answer));
    }

    // In French: the pages, the month and the totals with the locale's decimal comma.
    void inFrench() {
        QVERIFY(installTranslations(*qApp, QLocale(QLocale::French, QLocale::France)));
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        const auto english = qScopeGuard([] {
            for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
                QCoreApplication::removeTranslator(translator);
                delete translator;
            }
        });
        Standalone s;
        writeFile(s.log(QDate(2026, 3, 14)), kHeader + seconds(QTime(8, 0), 600, "600.0"));
        QVERIFY(s.showProduction());
        auto* pages = s.window.findChild<QTabWidget*>(QStringLiteral("TrendsPages"));
        QCOMPARE(pages->tabText(0), QStringLiteral("Courbes"));
        QCOMPARE(pages->tabText(1), QStringLiteral("Production"));
        QCOMPARE(s.text("MonthLabel"), QStringLiteral("mars 2026"));
        QCOMPARE(s.text("TodayLabel"), QStringLiteral("Aujourd'hui : 0,100 kWh"));
        QCOMPARE(s.text("MonthTotalLabel"), QStringLiteral("mars 2026 : 0,100 kWh"));
        QCOMPARE(s.button("PreviousMonthButton")->text(), QStringLiteral("◀ Mois précédent"));
    }

    // Assistive technology is told the trends window is a window, named by its title.
    void announcedAsAWindow() {
        Standalone s;
        s.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.window));
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&s.window);
        QVERIFY(accessible);
        QCOMPARE(accessible->role(), QAccessible::Window);
        QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Trends"));
    }

    // A chart's value axis starts where its values do: readings of 0 to 50 V are drawn on an
    // axis from 0, not from -50; values below zero keep their axis below zero.
    void valueAxisFitsTheValues_data() {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<double>("axisMin");
        QTest::addColumn<double>("axisMax");
        QTest::newRow("0 to 50 V") << 0.0 << 50.0 << 0.0 << 60.0;
        QTest::newRow("2 to 48 V") << 2.0 << 48.0 << 0.0 << 60.0;
        QTest::newRow("-12 to -3") << -12.0 << -3.0 << -15.0 << 0.0;
        QTest::newRow("-20 to 20") << -20.0 << 20.0 << -50.0 << 50.0;
    }
    void valueAxisFitsTheValues() {
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(double, axisMin);
        QFETCH(double, axisMax);
        TrendChart chart(TrendChannel::OutputVoltage);
        chart.resize(600, 120);
        chart.draw({TrendSegment{QPointF(0, low), QPointF(1000, high)}}, 0, 1000, std::nullopt);
        QCOMPARE(chart.valueRange(), qMakePair(axisMin, axisMax));
    }
};

QTEST_MAIN(TestProductionView)
#include "tst_productionview.moc"
