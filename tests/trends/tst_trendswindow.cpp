#include "FileDialogAnswerer.h"
#include "Files.h"
#include "Hex.h"
#include "NoBrowser.h"
#include "TestPlatform.h"
#include "app/LinkOpener.h"
#include "app/MainMenuBar.h"
#include "app/MessageBoxNotifier.h"
#include "app/Translations.h"
#include "app/WindowMain.h"
#include "trends/SampleRing.h"
#include "trends/ui/TrendChart.h"
#include "trends/ui/TrendsWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <cmath>
#include <memory>

// The trends window: a scripted minute of the line through the main window, live curves,
// pause, spans, the hover read-out, logs read in the background, refusal and export.
namespace {

// Converter frame, version 2: 48.0 V in, 24.000 V and 2.500 A out (60 W), 35.0 °C, 1500 rpm.
const char* const kConverterFrame = "00 01 10 10 01 E0 5D C0 09 C4 00 00 01 5E 03 E8 00 00 04 36";
// HPU status: 5.00 bar, mode Auto, pump active.
const char* const kHpuFrame = "00 12 10 07 01 F4 FF F0 01 03 0E";

const QByteArray kTitles7 = "LOG ORVANE\n  time  ;  U_in[V]; U_out[V]; I_out[A]; P_out[W]; RPM; Temp[0C];\n";
const QByteArray kValues = ";48.512;27.310;05.120;139.8;1520;35.2;";

const QDateTime kStart(QDate(2026, 3, 14), QTime(10, 0, 0));

qint64 second(int k) {
    return kStart.addSecs(k).toMSecsSinceEpoch();
}

// Each run of a chart as "first second-last second (points)": "1-32 (32) 46-60 (15)".
QString runsOf(const TrendChart* chart) {
    QStringList parts;
    for (const TrendSegment& s : chart->drawnSegments())
        parts << QStringLiteral("%1-%2 (%3)")
                     .arg((qint64(s.first().x()) - second(0)) / 1000)
                     .arg((qint64(s.last().x()) - second(0)) / 1000)
                     .arg(s.size());
    return parts.join(QLatin1Char(' '));
}

SecondSample sampleAt(int k, std::optional<double> voltage) {
    SecondSample s;
    s.time = kStart.addSecs(k);
    s.inputVoltage = voltage;
    return s;
}

std::optional<double> valueNone() {
    return std::nullopt;
}

} // namespace

class TestTrendsWindow : public QObject {
    Q_OBJECT
private:
    // A trends window on a ring of its own, with the dialogs and messages recorded.
    struct Standalone {
        SampleRing ring;
        FileDialogAnswerer files; // the real dialogs, answered
        RecordingNotifier notifier;
        MemoryWindowGeometryStore geometry;
        QTemporaryDir dir;
        TrendsWindow window{ring,
                            [] {
                                return TrendThresholds{53.0, 3000.0, 80.0, 5.0};
                            },
                            notifier, geometry, [this] { return dir.path(); }};
    };

private slots:
    void init() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom)); }
    void cleanup() { QLocale::setDefault(QLocale::system()); }

    // A minute of the line while the trends window is closed: the converter speaks for 30 s,
    // is silent for 15 s, speaks again; the HPU speaks for the first 20 s. The ring keeps it
    // all; the closed window draws nothing; opened, each chart holds its runs and gaps.
    void aMinuteOfFramesDrawsEachChartWithItsGaps() {
        TestPlatform tp;
        tp.timeline.setWallClock(kStart);
        NoBrowser browser;
        WindowMain main(tp.platform(), browser);
        TrendsWindow* trends = main.showTrendsWindow();
        trends->setSpanMinutes(1);
        trends->close();
        QSignalSpy redrawn(trends, &TrendsWindow::redrawn);

        tp.devices.setNames({QStringLiteral("cu.usbserial-FT4ABCDE")});
        tp.timeline.advance(500);
        main.monitor().ConnectButton_Action();
        QVERIFY(main.monitor().isConnected());
        // Steps of 500 ms; the log tick samples each whole second, after the frames of its step.
        for (qint64 t = 500; t < 60500; t += 500) {
            if (t < 30000 || t >= 45000)
                tp.port.feed(hexBytes(kConverterFrame));
            tp.timeline.advance(20);
            if (t < 20000)
                tp.port.feed(hexBytes(kHpuFrame));
            tp.timeline.advance(480);
        }
        QCOMPARE(main.trendRing().size(), 60);
        QCOMPARE(redrawn.count(), 0); // closed: no work

        QCOMPARE(main.showTrendsWindow(), trends); // the same window comes back
        QVERIFY(trends->isVisible());
        QCOMPARE(trends->spanTo(), second(60));
        QCOMPARE(trends->spanFrom(), second(0));

        // The converter's value is known up to 3 s after its last frame (at 29.52 s), then
        // hidden until its first frame again (at 45.02 s).
        for (TrendChannel c :
             {TrendChannel::InputVoltage, TrendChannel::OutputVoltage, TrendChannel::OutputCurrent,
              TrendChannel::OutputPower, TrendChannel::Temperature, TrendChannel::Speed})
            QCOMPARE(runsOf(trends->chart(c)), QStringLiteral("1-32 (32) 46-60 (15)"));
        QCOMPARE(runsOf(trends->chart(TrendChannel::Pressure)), QStringLiteral("1-22 (22)"));

        const auto firstValue = [trends](TrendChannel c) {
            return trends->chart(c)->drawnSegments()[0][0].y();
        };
        QCOMPARE(firstValue(TrendChannel::InputVoltage), 48.0);
        QCOMPARE(firstValue(TrendChannel::OutputVoltage), 24.0);
        QCOMPARE(firstValue(TrendChannel::OutputCurrent), 2.5);
        QCOMPARE(firstValue(TrendChannel::OutputPower), 60.0);
        QCOMPARE(firstValue(TrendChannel::Temperature), 35.0);
        QCOMPARE(firstValue(TrendChannel::Speed), 1500.0);
        QCOMPARE(firstValue(TrendChannel::Pressure), 5.0);

        // The alarm settings, dashed, on their charts only.
        QCOMPARE(trends->chart(TrendChannel::InputVoltage)->drawnThreshold(), std::optional<double>(53.0));
        QCOMPARE(trends->chart(TrendChannel::Speed)->drawnThreshold(), std::optional<double>(3000.0));
        QCOMPARE(trends->chart(TrendChannel::Temperature)->drawnThreshold(), std::optional<double>(80.0));
        QCOMPARE(trends->chart(TrendChannel::Pressure)->drawnThreshold(), std::optional<double>(5.0));
        QCOMPARE(trends->chart(TrendChannel::OutputPower)->drawnThreshold(), valueNone());

        // A new threshold shows at the next second.
        {
            AlarmSettingValues values = main.monitor().alarmSettings();
            values.ValeurAlarmeUin = 50.0;
            main.monitor().applyAlarmSettings(values);
        }
        tp.port.feed(hexBytes(kConverterFrame));
        tp.timeline.advance(500);
        QCOMPARE(trends->chart(TrendChannel::InputVoltage)->drawnThreshold(), std::optional<double>(50.0));
        QCOMPARE(runsOf(trends->chart(TrendChannel::InputVoltage)), QStringLiteral("1-32 (32) 46-61 (16)"));
    }

    // The size and place are kept in the user's settings folder for the next run, whether the
    // window was closed or the tool quit with it open; a place off every screen (a screen
    // unplugged since) comes back onto the screen at the same size.
    void sizeAndPlaceKeptForTheNextRun() {
        TestPlatform tp;
        const QString config = tp.dir.path() + QStringLiteral("/config");
        FixedResourceFolder resources(tp.dir.path() + QStringLiteral("/resources"), config);
        const Platform platform{tp.timeline, tp.timeline, tp.timeline, tp.port,       tp.devices,
                                tp.notifier, tp.sound,    resources,   tp.userFolders};
        NoBrowser browser;
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QRect placed;
        {
            WindowMain main(platform, browser);
            TrendsWindow* trends = main.showTrendsWindow();
            trends->setGeometry(screen.x() + 40, screen.y() + 30, 520, 410);
            placed = trends->geometry();
            trends->close();
        }
        QVERIFY(QFileInfo::exists(config + QStringLiteral("/Window_Geometry.ini")));
        {
            WindowMain main(platform, browser);
            TrendsWindow* trends = main.showTrendsWindow();
            QCOMPARE(trends->geometry(), placed);
            trends->move(screen.right() + 3000, screen.bottom() + 2000);
            QVERIFY(!screen.intersects(trends->geometry()));
        } // the tool quits with the window open
        {
            WindowMain main(platform, browser);
            TrendsWindow* trends = main.showTrendsWindow();
            QVERIFY2(screen.contains(trends->geometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                         .arg(trends->x())
                                                                         .arg(trends->y())
                                                                         .arg(trends->width())
                                                                         .arg(trends->height())));
            QCOMPARE(trends->size(), placed.size());
        }
    }

    // In French the window, the charts' names and units and the messages read in French;
    // the exported CSV keeps its English header, which files and spreadsheets rely on.
    void inFrenchExceptTheExportedHeader() {
        QVERIFY(installTranslations(*qApp, QLocale(QLocale::French, QLocale::France)));
        const auto english = qScopeGuard([] {
            for (QTranslator* translator : qApp->findChildren<QTranslator*>()) {
                QCoreApplication::removeTranslator(translator);
                delete translator;
            }
        });
        Standalone s;
        QCOMPARE(s.window.windowTitle(), QStringLiteral("Tendances"));
        auto* pause = s.window.findChild<QPushButton*>(QStringLiteral("PauseButton"));
        QCOMPARE(pause->text(), QStringLiteral("Pause"));
        pause->click();
        QCOMPARE(pause->text(), QStringLiteral("Reprendre"));
        QCOMPARE(s.window.findChild<QComboBox*>(QStringLiteral("SpanBox"))->itemText(0),
                 QStringLiteral("Dernières 1 min"));
        QCOMPARE(trendChannelCaption(TrendChannel::Speed), QStringLiteral("Vitesse"));
        QCOMPARE(trendChannelUnitCaption(TrendChannel::Speed), QStringLiteral("tr/min"));
        QCOMPARE(TrendsWindow::skippedText(3), QStringLiteral("3 lignes ignorées"));
        QCOMPARE(CsvLogReader::binaryMessage(QStringLiteral("/tmp/x.csv")),
                 QStringLiteral("\"x.csv\" n'est pas un log CSV : il contient des données binaires."));

        s.ring.append(sampleAt(0, 48.0));
        const QString path = s.dir.filePath(QStringLiteral("export.csv"));
        QSignalSpy exported(&s.window, &TrendsWindow::csvExported);
        s.window.exportCsv(path);
        QVERIFY(exported.wait(10000));
        QCOMPARE(exported.first(), (QVariantList{path, true}));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readLine(), QByteArray("time;Input voltage [V];Output voltage [V];Output current [A];"
                                             "Output power [W];Converter temperature [°C];Speed [rpm];"
                                             "Oil pressure [bar]\n"));
    }

    // The stacked charts share one time axis: whatever the width of each chart's value labels,
    // their plot areas start and end at the same x, also after one chart's labels widened.
    void plotAreasLineUpAsTheLabelsChange() {
        Standalone s;
        s.window.resize(900, 860);
        s.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.window));
        const auto sample = [](int k, double power) {
            SecondSample sample = sampleAt(k, 48.0);
            sample.outputPower = power;
            sample.speed = 1500;
            return sample;
        };
        using Edges = QVector<QPair<qreal, qreal>>;
        const auto edges = [&s] {
            Edges all;
            for (int i = 0; i < kTrendChannelCount; ++i) {
                const QRectF area = s.window.chart(trendChannel(i))->chart()->plotArea();
                all.append({area.left(), area.right()});
            }
            return all;
        };
        for (int k = 0; k < 5; ++k)
            s.ring.append(sample(k, 60.0));
        QCoreApplication::processEvents(); // the layout after the window took its size
        const Edges before = edges();
        QCOMPARE(before, Edges(kTrendChannelCount, before.first()));

        s.ring.append(sample(5, -123456.0)); // the power chart's labels grow much wider
        const Edges after = edges();
        QCOMPARE(after, Edges(kTrendChannelCount, after.first()));
        QVERIFY(after.first().first > before.first().first);

        s.ring.append(sample(6, 60.0));
        s.ring.append(sample(700, 60.0)); // the wide figure has left the 10-minute span
        const Edges back = edges();
        QCOMPARE(back, Edges(kTrendChannelCount, back.first()));
        QCOMPARE(back.first(), before.first());
    }

    void liveCurvesFollowEachSecondUnlessPaused() {
        Standalone s;
        s.window.show();
        QSignalSpy redrawn(&s.window, &TrendsWindow::redrawn);
        for (int k = 0; k < 5; ++k)
            s.ring.append(sampleAt(k, 48.0));
        QCOMPARE(redrawn.count(), 5);
        QCOMPARE(runsOf(s.window.chart(TrendChannel::InputVoltage)), QStringLiteral("0-4 (5)"));

        s.window.findChild<QPushButton*>(QStringLiteral("PauseButton"))->click();
        QVERIFY(s.window.isPaused());
        s.ring.append(sampleAt(5, 48.0));
        s.ring.append(sampleAt(6, std::nullopt));
        s.ring.append(sampleAt(7, 49.0));
        QCOMPARE(runsOf(s.window.chart(TrendChannel::InputVoltage)), QStringLiteral("0-4 (5)"));

        s.window.findChild<QPushButton*>(QStringLiteral("PauseButton"))->click();
        QVERIFY(!s.window.isPaused());
        QCOMPARE(runsOf(s.window.chart(TrendChannel::InputVoltage)), QStringLiteral("0-5 (6) 7-7 (1)"));
    }

    void spansOfOneTenAndSixtyMinutes_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("minutes");
        QTest::newRow("1 min") << 0 << 1;
        QTest::newRow("10 min") << 1 << 10;
        QTest::newRow("60 min") << 2 << 60;
    }
    void spansOfOneTenAndSixtyMinutes() {
        QFETCH(int, index);
        QFETCH(int, minutes);
        Standalone s;
        for (int k = 0; k < 2 * 3600; ++k)
            s.ring.append(sampleAt(k, k == 7199 - 30 ? std::nullopt : std::optional<double>(40 + k % 10)));
        s.window.show();
        auto* span = s.window.findChild<QComboBox*>(QStringLiteral("SpanBox"));
        span->setCurrentIndex(index);
        emit span->activated(index);
        QCOMPARE(s.window.spanTo(), second(7199));
        QCOMPARE(s.window.spanTo() - s.window.spanFrom(), qint64(minutes) * 60000);
        const QVector<TrendSegment> runs = s.window.chart(TrendChannel::InputVoltage)->drawnSegments();
        QCOMPARE(runs.size(), 2); // the silent second 30 s before the end
        QCOMPARE(runs.first().first().x(),
                 double(std::max(second(7199 - minutes * 60), second(7199 - 3599))));
        QCOMPARE(runs.last().last().x(), double(second(7199)));
    }

    // The hour moves by a pixel column every few seconds: it is drawn when the newest second
    // reaches the next column, not every second. Minimised, the window draws nothing, and
    // shows what came meanwhile once restored.
    void drawnWhenSomethingCanShow() {
        Standalone s;
        s.window.resize(900, 860);
        s.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.window));
        s.window.setSpanMinutes(60);
        const int width = s.window.chart(TrendChannel::InputVoltage)->width();
        const int secondsPerColumn = int(std::ceil(3600.0 / width)); // about 4 at this size
        QVERIFY(secondsPerColumn >= 2);
        QSignalSpy redrawn(&s.window, &TrendsWindow::redrawn);
        const int seconds = 20 * secondsPerColumn;
        for (int k = 0; k < seconds; ++k)
            s.ring.append(sampleAt(k, 48.0));
        QVERIFY2(redrawn.count() >= seconds / secondsPerColumn - 1 &&
                     redrawn.count() <= seconds / secondsPerColumn + 1,
                 qPrintable(QString::number(redrawn.count())));
        QVERIFY(s.window.spanTo() > second(seconds - 1 - secondsPerColumn));

        s.window.setSpanMinutes(1);
        redrawn.clear();
        s.window.showMinimized();
        for (int k = seconds; k < seconds + 10; ++k)
            s.ring.append(sampleAt(k, 48.0));
        QCOMPARE(redrawn.count(), 0);
        s.window.showNormal();
        QVERIFY(redrawn.count() >= 1);
        QCOMPARE(s.window.spanTo(), second(seconds + 9));
    }

    void hoverReadsOutTimeAndValue() {
        Standalone s;
        for (int k = 0; k < 60; ++k)
            s.ring.append(sampleAt(k, k < 30 ? std::optional<double>(48.25) : std::nullopt));
        s.window.setSpanMinutes(1);
        s.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.window));
        TrendChart* chart = s.window.chart(TrendChannel::InputVoltage);
        const auto hover = [chart](int k, double y) {
            const QPointF scene = chart->chart()->mapToPosition(QPointF(second(k), y));
            const QPoint at = chart->mapFromScene(scene);
            QMouseEvent move(QEvent::MouseMove, at, chart->viewport()->mapToGlobal(at), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(chart->viewport(), &move);
        };
        auto* readout = s.window.findChild<QLabel*>(QStringLiteral("ReadoutLabel"));
        hover(10, 48.25);
        QVERIFY2(readout->text().contains(QStringLiteral("Input voltage: 48.25 V")),
                 qPrintable(readout->text()));
        QVERIFY(readout->text().startsWith(QStringLiteral("10:00:")));
        hover(50, 48.25);
        QVERIFY2(readout->text().endsWith(QStringLiteral("Input voltage: not known")),
                 qPrintable(readout->text()));
    }

    // File > Open log… through the main window: read in the background, drawn, the damaged
    // lines counted, the neighbouring days of the adapter a click away, then back to live.
    void openLogShowsItAndStepsThroughTheDays() {
        TestPlatform tp;
        NoBrowser browser;
        WindowMain main(tp.platform(), browser);
        QTemporaryDir dir;
        const QString day13 = dir.filePath(QStringLiteral("2026_03_13_LogOrvane_FT4ABCDE.csv"));
        const QString day14 = dir.filePath(QStringLiteral("2026_03_14_LogOrvane_FT4ABCDE.csv"));
        writeFile(day13, kTitles7 + "08:00:00" + kValues + "\n08:00:01" + kValues + "\n");
        writeFile(day14, kTitles7 + "10:00:00" + kValues +
                             "\n10:00:01;-01.000;-01.000;-01.000;-01.0;-01;-01.0;\n" + "10:00:02" + kValues +
                             "\nbad\n10:00:03;48.5\n10:00:04;x;y;z;1;2;3;\n");
        FileDialogAnswerer files(day14);

        main.mainMenuBar()->itemNamed(QStringLiteral("FileOpenLog"))->trigger();
        QCOMPARE(files.offers.size(), 1);
        QCOMPARE(files.offers.first().folder, tp.userFolders.documents()); // starts in the log folder
        TrendsWindow* trends = main.findChild<TrendsWindow*>();
        QVERIFY(trends && trends->isVisible());
        QCOMPARE(trends->source(), TrendsWindow::Source::Log);
        QTRY_VERIFY_WITH_TIMEOUT(!trends->isReading(), 10000);
        QCOMPARE(runsOf(trends->chart(TrendChannel::InputVoltage)).isEmpty(), false);
        QCOMPARE(trends->chart(TrendChannel::InputVoltage)->drawnSegments().size(),
                 2); // the -1 line is a gap
        QCOMPARE(trends->chart(TrendChannel::Pressure)->drawnSegments().size(), 0);
        auto* source = trends->findChild<QLabel*>(QStringLiteral("SourceLabel"));
        QVERIFY2(source->text().endsWith(QStringLiteral("3 lines skipped")), qPrintable(source->text()));
        // Export CSV… writes the log's every second, its silent one with empty fields.
        const QString exported = dir.filePath(QStringLiteral("day14.csv"));
        QSignalSpy written(trends, &TrendsWindow::csvExported);
        trends->exportCsv(exported);
        QVERIFY(written.wait(10000));
        const QList<QByteArray> lines = readAll(exported).split('\n');
        QCOMPARE(lines.size(), 1 + 3 + 1);
        QVERIFY2(lines[1].startsWith("2026-03-14 10:00:00;48.512;"), lines[1].constData());
        QCOMPARE(lines[2], QByteArray("2026-03-14 10:00:01;;;;;;;"));
        QVERIFY2(lines[3].startsWith("2026-03-14 10:00:02;48.512;"), lines[3].constData());
        auto* previous = trends->findChild<QPushButton*>(QStringLiteral("PreviousDayButton"));
        auto* next = trends->findChild<QPushButton*>(QStringLiteral("NextDayButton"));
        QVERIFY(previous->isEnabled());
        QVERIFY(!next->isEnabled());

        previous->click();
        QCOMPARE(trends->logPath(), day13);
        QTRY_VERIFY_WITH_TIMEOUT(!trends->isReading(), 10000);
        QCOMPARE(trends->spanFrom(), QDateTime(QDate(2026, 3, 13), QTime(8, 0)).toMSecsSinceEpoch());
        QCOMPARE(trends->chart(TrendChannel::Speed)->drawnSegments().first().size(), 2);
        QVERIFY(!previous->isEnabled());
        QVERIFY(next->isEnabled());

        trends->findChild<QPushButton*>(QStringLiteral("LiveButton"))->click();
        QCOMPARE(trends->source(), TrendsWindow::Source::Live);
        QCOMPARE(trends->chart(TrendChannel::Speed)->drawnSegments().size(), 0);
    }

    // Garbage is refused with the real message box, answered by a timer; the window goes back to live.
    void garbageRefusedWithAMessage() {
        SampleRing ring;
        QWidget parent;
        MessageBoxNotifier notifier(&parent);
        QTemporaryDir dir;
        MemoryWindowGeometryStore geometry;
        TrendsWindow window(
            ring, [] { return TrendThresholds{}; }, notifier, geometry, [&dir] { return dir.path(); });
        window.show();
        const QString path = dir.filePath(QStringLiteral("picture.csv"));
        writeFile(path, QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10", 20));

        QString shown;
        QTimer answer;
        answer.setInterval(20);
        connect(&answer, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box)
                return;
            shown = box->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        answer.start();
        FileDialogAnswerer files(path);
        window.findChild<QPushButton*>(QStringLiteral("OpenLogButton"))->click();
        QCOMPARE(files.offers.size(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!shown.isEmpty(), 10000);
        QCOMPARE(shown, CsvLogReader::binaryMessage(path));
        QTRY_COMPARE_WITH_TIMEOUT(window.source(), TrendsWindow::Source::Live, 10000);
        QVERIFY(!QApplication::activeModalWidget());
    }

    // A log is cut for the width the window had when it was opened. Widened, the window cuts
    // it again as fine as its new pixel columns once the resize has ended; narrowed, it keeps
    // the finer curves it has.
    void aWiderWindowCutsTheLogAgain() {
        Standalone s;
        s.window.resize(700, 860);
        s.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&s.window));
        QByteArray log = kTitles7; // an hour and a half, the voltage changing every second
        for (int k = 0; k < 5400; ++k)
            log += QTime(10, 0).addSecs(k).toString(QStringLiteral("HH:mm:ss")).toLatin1() + ';' +
                   QByteArray::number(40 + k % 17) + ".000;27.310;05.120;139.8;1520;35.2;\n";
        const QString path = s.dir.filePath(QStringLiteral("2026_03_14_LogOrvane_FT4ABCDE.csv"));
        writeFile(path, log);
        s.window.openLog(path);
        QTRY_VERIFY_WITH_TIMEOUT(!s.window.isReading(), 10000);
        TrendChart* chart = s.window.chart(TrendChannel::InputVoltage);
        const auto points = [chart] {
            const QVector<TrendSegment> runs = chart->drawnSegments();
            return runs.size() == 1 ? int(runs.first().size()) : -1; // one run: no gap in the log
        };
        const int narrowColumns = chart->width();
        const int narrow = points();
        QVERIFY2(narrow > narrowColumns && narrow <= 2 * std::max(400, narrowColumns),
                 qPrintable(QString::number(narrow)));

        s.window.resize(1500, 860);
        QTRY_VERIFY_WITH_TIMEOUT(points() > 2 * std::max(400, narrowColumns), 5000);
        const int wideColumns = chart->width();
        const int wide = points();
        QVERIFY2(wide > wideColumns && wide <= 2 * wideColumns, qPrintable(QString::number(wide)));

        s.window.resize(700, 860);
        QTRY_VERIFY_WITH_TIMEOUT(chart->width() < wideColumns, 5000); // the resize has reached the window
        QTRY_VERIFY_WITH_TIMEOUT(!s.window.isRecutting(), 10000);
        QCOMPARE(points(), wide);
    }

    void exportsTheVisibleSpan() {
        Standalone s;
        for (int k = 0; k < 600; ++k)
            s.ring.append(sampleAt(k, k == 590 ? std::nullopt : std::optional<double>(48.5)));
        s.window.setSpanMinutes(1);
        s.window.show();

        const QString csv = s.dir.filePath(QStringLiteral("span.csv"));
        s.files.answer = csv;
        auto* exportCsv = s.window.findChild<QPushButton*>(QStringLiteral("ExportCsvButton"));
        QSignalSpy exported(&s.window, &TrendsWindow::csvExported);
        exportCsv->click();
        QVERIFY(!exportCsv->isEnabled()); // written in the background, one export at a time
        QVERIFY(exported.wait(10000));
        QVERIFY(exportCsv->isEnabled());
        const QList<QByteArray> lines = readAll(csv).split('\n');
        QCOMPARE(lines.size(), 1 + 61 + 1); // titles, seconds 539 to 599, the last line end
        QCOMPARE(lines[0],
                 QByteArray("time;Input voltage [V];Output voltage [V];Output current [A];Output power "
                            "[W];Converter temperature [°C];Speed [rpm];Oil pressure [bar]"));
        QCOMPARE(lines[1], QByteArray("2026-03-14 10:08:59;48.5;;;;;;"));
        QCOMPARE(lines[52], QByteArray("2026-03-14 10:09:50;;;;;;;")); // a gap stays empty
        QCOMPARE(s.files.offers.first().suggestedPath(),
                 s.dir.filePath(QStringLiteral("2026_03_14_100959_trends.csv")));

        const QString png = s.dir.filePath(QStringLiteral("span.png"));
        s.files.answer = png;
        s.window.findChild<QPushButton*>(QStringLiteral("ExportPngButton"))->click();
        const QImage image(png);
        QVERIFY(!image.isNull());
        QVERIFY(image.width() > 300 && image.height() > 300);
        QCOMPARE(s.notifier.messages, QStringList());

        const QString nowhere = s.dir.filePath(QStringLiteral("missing/span.csv"));
        s.files.answer = nowhere;
        exportCsv->click();
        QVERIFY(exported.wait(10000));
        QCOMPARE(exported.last(), (QVariantList{nowhere, false}));
        QCOMPARE(s.notifier.messages, QStringList{TrendsWindow::writeFailureMessage(nowhere)});
    }
};

QTEST_MAIN(TestTrendsWindow)
#include "tst_trendswindow.moc"
