#pragma once

#include "core/WorkerThread.h"
#include "trends/CsvLogReader.h"
#include "trends/TrendCsvWriter.h"
#include "trends/TrendPoint.h"
#include "trends/TrendSegments.h"
#include "trends/TrendThresholds.h"

#include <QVector>
#include <QWidget>

#include <functional>

class Notifier;
class ProductionView;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QTimer;
class SampleRing;
class WindowGeometryStore;
class TrendChart;

// The trends window (View ▸ Trends), non-modal: stacked charts of input voltage, output
// voltage, current and power, converter temperature, speed and oil pressure on one time
// axis, each with its unit and its alarm threshold dashed. Live, it shows the last 1, 10 or
// 60 minutes of the sample ring, redrawn with each new second while visible and not paused;
// hidden, it costs nothing. File ▸ Open log… shows a CSV log instead, read in the
// background with a progress bar, with the previous and next day's file of the adapter a
// click away. A second page, Production, shows the energy made day by day from the logs.
// Closing only hides it, so it comes back where and as large as it was; the
// size and place are kept for the next run too.
class TrendsWindow : public QWidget {
    Q_OBJECT
public:
    enum class Source { Live, Log };
    static constexpr int kSpanMinutes[] = {1, 10, 60};
    static constexpr int kRecutDelayMs = 250; // after the last step of a resize

    TrendsWindow(const SampleRing& ring, std::function<TrendThresholds()> thresholds, Notifier& notifier,
                 WindowGeometryStore& geometry, std::function<QString()> logFolder,
                 QWidget* parent = nullptr);
    ~TrendsWindow() override;

    Source source() const { return source_; }
    QString logPath() const { return logPath_; }
    bool isPaused() const { return paused_; }
    bool isReading() const { return reader_.isReading(); }
    // From a resize of a log's window until its curves have been cut again, if they need it.
    bool isRecutting() const;
    // The charts, top to bottom, in the order of TrendChannel.
    TrendChart* chart(TrendChannel channel) const { return charts_[static_cast<int>(channel)]; }
    ProductionView* productionView() const { return production_; }
    bool isShowingProduction() const;
    qint64 spanFrom() const { return from_; }
    qint64 spanTo() const { return to_; }

    static QString skippedText(int lines);
    static QString writeFailureMessage(const QString& path);

public slots:
    void showCurves();
    void showProduction();
    void showLive();
    void setSpanMinutes(int minutes);
    void setPaused(bool paused);
    void chooseLog();
    void openLog(const QString& path);
    void openPreviousDay() { openNeighbour(-1); }
    void openNextDay() { openNeighbour(+1); }
    bool exportPng(const QString& path);
    // Written in the background; csvExported() tells the end, a failure is also shown.
    void exportCsv(const QString& path);
    void refresh();

signals:
    // After every redraw of the charts (for the tests and the benchmark's first curve).
    void redrawn();
    void csvExported(const QString& path, bool ok);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    enum class ExportFormat { Png, Csv };
    // Until the reader's first curves come, a log's window shows empty charts.
    enum class LogCurves { NothingRead, Read };

    void buildControls();
    QWidget* buildCurvesPage();
    void onRingAppended();
    void onCurvesRead(const TrendCurves& curves);
    void onPointsRead(const QVector<TrendPoint>& points);
    void drawCurves(const TrendCurves& curves);
    void onReadFinished(const QString& error, int skippedLines);
    void recutLogCurves();
    void openNeighbour(int step);
    void updateControls();
    void alignAllCharts();
    void alignCharts(const QVector<bool>& changed);
    void chooseExport(ExportFormat format);
    void onCsvExported(const QString& path, bool ok);
    QVector<TrendPoint> visiblePoints() const;
    int pointBudget() const;

    const SampleRing& ring_;
    std::function<TrendThresholds()> thresholds_;
    Notifier& notifier_;
    WindowGeometryStore& geometry_;
    std::function<QString()> logFolder_;
    CsvLogReader reader_;
    TrendCsvWriter csvWriter_;

    Source source_ = Source::Live;
    int spanMinutes_ = 10;
    bool paused_ = false;
    QString logPath_;
    QVector<TrendPoint> logPoints_;  // all the log's points, once read to its end
    TrendCurves logCurves_;          // worked out by the reader, for the width the log opened at
    LogCurves logCurvesState_ = LogCurves::NothingRead;
    int logCurvesBudget_ = 0;        // the points a chart those curves were cut for
    WorkerThread curveCutter_{this}; // cuts a read log's curves again for a wider window
    QTimer* recutTimer_ = nullptr;   // waits for the end of a resize
    qint64 from_ = 0;
    qint64 to_ = 0;
    QVector<QPair<qreal, qreal>> alignedRanges_; // the value ranges the plot areas were laid out for
    QVector<QRectF> natural_;                    // each chart's plot area laid out on its own
    qreal alignedLeft_ = -1;                     // the plot areas' common edges
    qreal alignedRight_ = -1;

    QTabWidget* pages_ = nullptr;
    ProductionView* production_ = nullptr;
    QVector<TrendChart*> charts_;
    QWidget* chartArea_ = nullptr;
    QComboBox* spanBox_ = nullptr;
    QPushButton* pauseButton_ = nullptr;
    QPushButton* liveButton_ = nullptr;
    QPushButton* previousDayButton_ = nullptr;
    QPushButton* nextDayButton_ = nullptr;
    QPushButton* exportCsvButton_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* sourceLabel_ = nullptr;
    QLabel* readout_ = nullptr;
};
