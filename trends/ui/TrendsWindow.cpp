#include "trends/ui/TrendsWindow.h"

#include "core/Notifier.h"
#include "core/WindowGeometryStore.h"
#include "trends/LogFileName.h"
#include "trends/SampleRing.h"
#include "trends/ui/ProductionView.h"
#include "trends/ui/TrendChart.h"
#include "trends/ui/TrendFileDialogs.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <limits>

namespace {

// A plain QWidget reaches assistive technology as a client area; this one is a window of
// its own, with its title as its name.
QAccessibleInterface* trendsWindowAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("TrendsWindow") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

TrendsWindow::TrendsWindow(const SampleRing& ring, std::function<TrendThresholds()> thresholds,
                           Notifier& notifier, WindowGeometryStore& geometry,
                           std::function<QString()> logFolder, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , ring_(ring)
    , thresholds_(std::move(thresholds))
    , notifier_(notifier)
    , geometry_(geometry)
    , logFolder_(std::move(logFolder)) {
    static const bool accessibleAsWindow = [] {
        QAccessible::installFactory(trendsWindowAccessible);
        return true;
    }();
    (void)accessibleAsWindow;
    setObjectName(QStringLiteral("TrendsWindow"));
    setWindowTitle(tr("Trends"));
    resize(900, 860);
    buildControls();
    // As the last run left it; a place off every screen now (a screen unplugged) is brought
    // back onto the screen by restoreGeometry.
    const QByteArray saved = geometry_.load(objectName());
    if (!saved.isEmpty())
        restoreGeometry(saved);

    connect(&ring_, &SampleRing::appended, this, &TrendsWindow::onRingAppended);
    connect(&reader_, &CsvLogReader::curvesRead, this, &TrendsWindow::onCurvesRead);
    connect(&reader_, &CsvLogReader::pointsRead, this, &TrendsWindow::onPointsRead);
    connect(&reader_, &CsvLogReader::progress, this, [this](qint64 done, qint64 total) {
        progress_->setValue(total > 0 ? int(done * 1000 / total) : 1000);
    });
    connect(&reader_, &CsvLogReader::finished, this, &TrendsWindow::onReadFinished);
    connect(&csvWriter_, &TrendCsvWriter::finished, this, &TrendsWindow::onCsvExported);
    recutTimer_ = new QTimer(this);
    recutTimer_->setSingleShot(true);
    recutTimer_->setInterval(kRecutDelayMs);
    connect(recutTimer_, &QTimer::timeout, this, &TrendsWindow::recutLogCurves);
    updateControls();
}

TrendsWindow::~TrendsWindow() {
    if (isVisible()) // open when the tool quits
        geometry_.save(objectName(), saveGeometry());
}

void TrendsWindow::buildControls() {
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("TrendsPages"));
    pages_->setDocumentMode(true);
    pages_->addTab(buildCurvesPage(), tr("Curves"));
    production_ = new ProductionView(ring_, notifier_, logFolder_, pages_);
    production_->setOpenLog([this] { return logPath_; });
    pages_->addTab(production_, tr("Production"));
    connect(pages_, &QTabWidget::currentChanged, this, [this] {
        if (pages_->currentIndex() != 0)
            return;
        alignedRanges_.clear(); // laid out afresh: the charts may have been resized while hidden
        refresh();
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(pages_);
}

bool TrendsWindow::isShowingProduction() const {
    return pages_->currentWidget() == production_;
}

void TrendsWindow::showCurves() {
    pages_->setCurrentIndex(0);
}

void TrendsWindow::showProduction() {
    pages_->setCurrentWidget(production_);
}

QWidget* TrendsWindow::buildCurvesPage() {
    auto* page = new QWidget(this);
    page->setObjectName(QStringLiteral("CurvesPage"));
    const auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    spanBox_ = new QComboBox(this);
    spanBox_->setObjectName(QStringLiteral("SpanBox"));
    for (int minutes : kSpanMinutes)
        spanBox_->addItem(tr("Last %1 min").arg(minutes), minutes);
    spanBox_->setCurrentIndex(1);
    connect(spanBox_, qOverload<int>(&QComboBox::activated), this,
            [this](int index) { setSpanMinutes(spanBox_->itemData(index).toInt()); });

    pauseButton_ = button("PauseButton", tr("Pause"));
    pauseButton_->setCheckable(true);
    connect(pauseButton_, &QPushButton::toggled, this, &TrendsWindow::setPaused);
    liveButton_ = button("LiveButton", tr("Live"));
    connect(liveButton_, &QPushButton::clicked, this, &TrendsWindow::showLive);
    QPushButton* open = button("OpenLogButton", tr("Open log…"));
    connect(open, &QPushButton::clicked, this, &TrendsWindow::chooseLog);
    previousDayButton_ = button("PreviousDayButton", tr("◀ Previous day"));
    connect(previousDayButton_, &QPushButton::clicked, this, &TrendsWindow::openPreviousDay);
    nextDayButton_ = button("NextDayButton", tr("Next day ▶"));
    connect(nextDayButton_, &QPushButton::clicked, this, &TrendsWindow::openNextDay);
    QPushButton* png = button("ExportPngButton", tr("Export PNG…"));
    connect(png, &QPushButton::clicked, this, [this] { chooseExport(ExportFormat::Png); });
    exportCsvButton_ = button("ExportCsvButton", tr("Export CSV…"));
    connect(exportCsvButton_, &QPushButton::clicked, this, [this] { chooseExport(ExportFormat::Csv); });

    auto* tools = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{spanBox_, pauseButton_, liveButton_, open,
                                                      previousDayButton_, nextDayButton_})
        tools->addWidget(w);
    tools->addStretch();
    tools->addWidget(png);
    tools->addWidget(exportCsvButton_);

    sourceLabel_ = new QLabel(this);
    sourceLabel_->setObjectName(QStringLiteral("SourceLabel"));
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ReadProgress"));
    progress_->setRange(0, 1000);
    progress_->setMaximumWidth(220);
    progress_->setTextVisible(false);
    readout_ = new QLabel(this);
    readout_->setObjectName(QStringLiteral("ReadoutLabel"));
    readout_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* status = new QHBoxLayout;
    status->addWidget(sourceLabel_);
    status->addWidget(progress_);
    status->addStretch();
    status->addWidget(readout_);

    chartArea_ = new QWidget(this);
    chartArea_->setObjectName(QStringLiteral("TrendCharts"));
    auto* stack = new QVBoxLayout(chartArea_);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    for (int i = 0; i < kTrendChannelCount; ++i) {
        auto* chart = new TrendChart(trendChannel(i), chartArea_);
        chart->setTimeLabelsVisible(i == kTrendChannelCount - 1);
        chart->setMinimumHeight(80);
        connect(chart, &TrendChart::hovered, this, [this, chart](qint64 time, std::optional<double> value) {
            const QString at = QDateTime::fromMSecsSinceEpoch(time).toString(QStringLiteral("HH:mm:ss"));
            const QString name = trendChannelCaption(chart->channel());
            readout_->setText(value ? tr("%1  %2: %3 %4")
                                          .arg(at, name, QLocale().toString(*value, 'f', 2),
                                               trendChannelUnitCaption(chart->channel()))
                                    : tr("%1  %2: not known").arg(at, name));
        });
        stack->addWidget(chart, 1);
        charts_.append(chart);
    }

    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 6, 0, 0);
    layout->addLayout(tools);
    layout->addLayout(status);
    layout->addWidget(chartArea_, 1);
    return page;
}

QString TrendsWindow::skippedText(int lines) {
    return lines == 1 ? tr("1 line skipped") : tr("%1 lines skipped").arg(lines);
}

QString TrendsWindow::writeFailureMessage(const QString& path) {
    return tr("Unable to write \"%1\".").arg(QDir::toNativeSeparators(path));
}

void TrendsWindow::showLive() {
    reader_.cancel();
    curveCutter_.stop();
    source_ = Source::Live;
    logPath_.clear();
    logPoints_ = {};
    logCurves_ = {};
    logCurvesState_ = LogCurves::NothingRead;
    updateControls();
    refresh();
}

void TrendsWindow::setSpanMinutes(int minutes) {
    spanMinutes_ = minutes;
    const int index = spanBox_->findData(minutes);
    if (index >= 0)
        spanBox_->setCurrentIndex(index);
    refresh();
}

void TrendsWindow::setPaused(bool paused) {
    paused_ = paused;
    if (pauseButton_->isChecked() != paused)
        pauseButton_->setChecked(paused);
    pauseButton_->setText(paused ? tr("Resume") : tr("Pause"));
    if (!paused)
        refresh();
}

void TrendsWindow::chooseLog() {
    const QString folder = logPath_.isEmpty() ? logFolder_() : QFileInfo(logPath_).absolutePath();
    const QString path = TrendFileDialogs::chooseLog(this, folder);
    if (!path.isEmpty())
        openLog(path);
}

void TrendsWindow::openLog(const QString& path) {
    showCurves();
    source_ = Source::Log;
    logPath_ = path;
    logPoints_ = {};
    logCurves_ = {};
    logCurvesState_ = LogCurves::NothingRead;
    curveCutter_.stop();
    logCurvesBudget_ = pointBudget();
    progress_->setValue(0);
    reader_.start(path, logCurvesBudget_);
    updateControls();
    refresh();
}

void TrendsWindow::openNeighbour(int step) {
    const QString path = neighbouringLog(logPath_, step);
    if (!path.isEmpty())
        openLog(path);
}

void TrendsWindow::onRingAppended() {
    if (source_ != Source::Live || paused_ || !isVisible() || isMinimized() || isShowingProduction())
        return; // nothing to see: drawn afresh when shown, restored or resumed
    // A long span moves by less than a pixel column a second (the hour by about four
    // seconds a column): it is drawn again when the newest second reaches the next column.
    const qint64 newest = ring_.at(ring_.size() - 1).time;
    const qint64 msPerColumn = qint64(spanMinutes_) * 60 * 1000 / std::max(1, charts_.first()->width());
    if (newest >= to_ && newest - to_ < msPerColumn)
        return;
    refresh();
}

void TrendsWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !isMinimized() && isVisible())
        refresh(); // restored: what came meanwhile
}

void TrendsWindow::onCurvesRead(const TrendCurves& curves) {
    logCurves_ = curves;
    logCurvesState_ = LogCurves::Read;
    refresh();
}

void TrendsWindow::onPointsRead(const QVector<TrendPoint>& points) {
    logPoints_ = points; // handed over whole, not copied
}

void TrendsWindow::onReadFinished(const QString& error, int skippedLines) {
    if (!error.isEmpty()) {
        showLive();
        notifier_.showMessage(error);
        return;
    }
    progress_->setValue(progress_->maximum());
    updateControls();
    QString text = tr("%1: %2 seconds").arg(QFileInfo(logPath_).fileName()).arg(logPoints_.size());
    if (logPoints_.isEmpty())
        text = tr("%1: no measurements").arg(QFileInfo(logPath_).fileName());
    if (skippedLines > 0)
        text += QStringLiteral(", ") + skippedText(skippedLines);
    sourceLabel_->setText(text);
    refresh();
    recutLogCurves(); // the window may have grown while the log was read
}

bool TrendsWindow::isRecutting() const {
    return recutTimer_->isActive() || curveCutter_.isBusy();
}

void TrendsWindow::recutLogCurves() {
    // The reader cut the curves for the width the window had when the log was opened; a
    // wider window gets them again, as fine as its pixel columns, away from the window's
    // thread: a long log holds millions of seconds.
    const int budget = pointBudget();
    if (source_ != Source::Log || reader_.isReading() || logPoints_.isEmpty() || budget <= logCurvesBudget_)
        return;
    curveCutter_.start([this, points = logPoints_, from = logCurves_.from, to = logCurves_.to,
                        budget](const std::atomic<bool>&, const WorkerThread::Post& post) {
        TrendCurves curves = trendCurves(points, from, to, budget);
        post([this, curves = std::move(curves), budget] {
            curveCutter_.stop();
            logCurves_ = curves;
            logCurvesBudget_ = budget;
            refresh();
        });
    });
}

void TrendsWindow::updateControls() {
    const bool log = source_ == Source::Log;
    spanBox_->setEnabled(!log);
    pauseButton_->setEnabled(!log);
    liveButton_->setEnabled(log);
    previousDayButton_->setEnabled(log && !neighbouringLog(logPath_, -1).isEmpty());
    nextDayButton_->setEnabled(log && !neighbouringLog(logPath_, +1).isEmpty());
    progress_->setVisible(log && reader_.isReading());
    exportCsvButton_->setEnabled(!csvWriter_.isWriting()); // one export at a time
    if (!log)
        sourceLabel_->setText(tr("Live"));
    else if (reader_.isReading())
        sourceLabel_->setText(tr("Reading %1…").arg(QFileInfo(logPath_).fileName()));
}

void TrendsWindow::alignAllCharts() {
    alignCharts(QVector<bool>(charts_.size(), true));
}

void TrendsWindow::alignCharts(const QVector<bool>& changed) {
    if (!isVisible())
        return;
    // Laying a chart out costs as much as drawing it: only the charts whose value labels
    // changed are laid out on their own again, and only those whose plot area moves are set.
    if (natural_.size() != charts_.size())
        natural_ = QVector<QRectF>(charts_.size());
    for (int i = 0; i < charts_.size(); ++i)
        if (changed[i] || natural_[i].isNull())
            natural_[i] = charts_[i]->naturalPlotArea();
    qreal left = 0;
    qreal right = std::numeric_limits<qreal>::max();
    for (const QRectF& area : std::as_const(natural_)) {
        left = std::max(left, area.left());
        right = std::min(right, area.right());
    }
    if (right <= left)
        return;
    const bool moved = left != alignedLeft_ || right != alignedRight_;
    for (int i = 0; i < charts_.size(); ++i)
        if (moved || changed[i])
            charts_[i]->alignPlotArea(left, right);
    alignedLeft_ = left;
    alignedRight_ = right;
}

void TrendsWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The charts take their new size when the layout has run.
    QMetaObject::invokeMethod(this, &TrendsWindow::alignAllCharts, Qt::QueuedConnection);
    if (source_ == Source::Log)
        recutTimer_->start();
}

void TrendsWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    alignedRanges_.clear(); // laid out afresh at the new size
    refresh();
}

void TrendsWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (!event->spontaneous()) // closed, not minimised
        geometry_.save(objectName(), saveGeometry());
}

int TrendsWindow::pointBudget() const {
    // Two points a pixel column (its lowest and highest), for the chart as wide as it is now.
    return 2 * std::max(400, charts_.first()->width());
}

void TrendsWindow::refresh() {
    if (source_ == Source::Log) {
        if (logCurvesState_ == LogCurves::NothingRead) {
            TrendCurves none;
            none.from = from_;
            none.to = to_;
            drawCurves(none);
        } else {
            drawCurves(logCurves_); // worked out by the reader
        }
        return;
    }
    if (paused_ && from_ != to_)
        return; // the curves stay as they were; the ring goes on filling
    const qint64 to =
        ring_.size() > 0 ? ring_.at(ring_.size() - 1).time : QDateTime::currentMSecsSinceEpoch();
    const qint64 from = to - qint64(spanMinutes_) * 60 * 1000;
    drawCurves(trendCurves(ring_.between(from, to), from, to, pointBudget()));
}

void TrendsWindow::drawCurves(const TrendCurves& curves) {
    from_ = curves.from;
    to_ = curves.to;
    const TrendThresholds thresholds = thresholds_();
    for (TrendChart* chart : std::as_const(charts_))
        chart->draw(curves.of(chart->channel()), from_, to_, thresholds.of(chart->channel()));
    // The plot areas are laid out again only when the value labels may have changed width.
    QVector<QPair<qreal, qreal>> ranges;
    for (TrendChart* chart : std::as_const(charts_))
        ranges.append(chart->valueRange());
    if (ranges != alignedRanges_ && isVisible()) {
        QVector<bool> changed(charts_.size(), true);
        if (alignedRanges_.size() == ranges.size())
            for (int i = 0; i < ranges.size(); ++i)
                changed[i] = ranges[i] != alignedRanges_[i];
        alignedRanges_ = ranges;
        alignCharts(changed);
    }
    emit redrawn();
}

QVector<TrendPoint> TrendsWindow::visiblePoints() const {
    // A log is shown whole, from its first second to its last: its points are shared as they
    // are, not copied on the window's thread (a year's log holds millions).
    return source_ == Source::Live ? ring_.between(from_, to_) : logPoints_;
}

void TrendsWindow::chooseExport(ExportFormat format) {
    const bool png = format == ExportFormat::Png;
    const QString stem =
        source_ == Source::Log
            ? QFileInfo(logPath_).completeBaseName() + QStringLiteral("_trends")
            : QDateTime::fromMSecsSinceEpoch(to_).toString(QStringLiteral("yyyy_MM_dd_HHmmss_'trends'"));
    const QString suggested =
        QDir(logFolder_()).filePath(stem + (png ? QStringLiteral(".png") : QStringLiteral(".csv")));
    const QString path = TrendFileDialogs::chooseExport(
        this, suggested, png ? tr("PNG image (*.png)") : tr("CSV file (*.csv)"));
    if (path.isEmpty())
        return;
    if (!png)
        exportCsv(path);
    else if (!exportPng(path))
        notifier_.showMessage(writeFailureMessage(path));
}

bool TrendsWindow::exportPng(const QString& path) {
    return chartArea_->grab().save(path, "PNG");
}

void TrendsWindow::exportCsv(const QString& path) {
    csvWriter_.start(path, visiblePoints());
    updateControls();
}

void TrendsWindow::onCsvExported(const QString& path, bool ok) {
    updateControls();
    if (!ok)
        notifier_.showMessage(writeFailureMessage(path));
    emit csvExported(path, ok);
}
