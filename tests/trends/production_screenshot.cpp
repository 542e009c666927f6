// Renders the trends window's Production view headless: three weeks of hand-made logs of one
// adapter (a wet spell in the middle, a day without a log, a day the tool ran for half the
// day) and today's log so far joined by the live seconds; saves it as a PNG.
//   QT_QPA_PLATFORM=offscreen velmora_production_screenshot docs/production-view.png
#include "Files.h"
#include "Recorders.h"
#include "trends/SampleRing.h"
#include "trends/ui/ProductionView.h"
#include "trends/ui/TrendsWindow.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <cstdio>

namespace {

const QString kAdapter = QStringLiteral("FT4ZQ1A7");

// The turbine's output on a given day and second: the river's flow of the day, and a little
// wander within it.
double watts(int day, int second) {
    const double wet = std::exp(-std::pow((day - 10) / 2.5, 2));
    const double flow = 380 + 90 * std::sin(day / 3.0) + 520 * wet;
    return std::max(0.0, flow + 25 * std::sin(second / 900.0) + 10 * std::sin(second / 61.0));
}

QByteArray dayLog(int day, int fromSecond, int toSecond) {
    QByteArray text = "LOG ORVANE\n  time  ;  U_in[V]; U_out[V]; I_out[A]; P_out[W]; RPM; Temp[0C];\n";
    text.reserve(text.size() + (toSecond - fromSecond) * 48);
    char line[96];
    for (int s = fromSecond; s < toSecond; ++s) {
        const double p = watts(day, s);
        std::snprintf(line, sizeof line, "%02d:%02d:%02d;48.512;27.310;%06.3f;%05.1f;1520;35.2;\n", s / 3600,
                      s / 60 % 60, s % 60, p / 27.31, p);
        text += line;
    }
    return text;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.png\n", argv[0]);
        return 2;
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QTemporaryDir dir;
    const QDate today(2026, 6, 21);
    const int nowSecond = 14 * 3600;
    for (int day = 1; day < today.day(); ++day) {
        if (day == 15)
            continue; // the laptop was away
        const int until = day == 12 ? 12 * 3600 : 24 * 3600; // closed at noon
        writeFile(dir.filePath(QDate(2026, 6, day).toString(QStringLiteral("yyyy_MM_dd_'LogOrvane_'")) + kAdapter +
                               QStringLiteral(".csv")),
                  dayLog(day, 0, until));
    }
    // Today: logged until the last hour, whose seconds the ring holds (the Log box unticked).
    writeFile(dir.filePath(today.toString(QStringLiteral("yyyy_MM_dd_'LogOrvane_'")) + kAdapter +
                           QStringLiteral(".csv")),
              dayLog(today.day(), 0, nowSecond - 3600));
    SampleRing ring;
    for (int s = nowSecond - 3600; s < nowSecond; ++s) {
        TrendPoint p;
        p.time = QDateTime(today, QTime(0, 0)).addSecs(s).toMSecsSinceEpoch();
        p.set(TrendChannel::OutputPower, watts(today.day(), s));
        ring.appendPoint(p);
    }

    RecordingNotifier notifier;
    MemoryWindowGeometryStore geometry;
    TrendsWindow window(
        ring, [] { return TrendThresholds{}; }, notifier, geometry, [&dir] { return dir.path(); });
    ProductionView* view = window.productionView();
    view->setClock([today, nowSecond] { return QDateTime(today, QTime(0, 0)).addSecs(nowSecond); });
    view->setLiveAdapter([] { return kAdapter; });
    window.resize(900, 600);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    window.showProduction();
    if (!QTest::qWaitFor([view] { return view->isLoaded(); }, 60000))
        return 1;
    QApplication::processEvents();
    if (!window.grab().toImage().save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
