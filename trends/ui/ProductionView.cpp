#include "trends/ui/ProductionView.h"

#include "core/Notifier.h"
#include "trends/LogFileName.h"
#include "trends/NiceScale.h"
#include "trends/SampleRing.h"
#include "trends/ui/TrendFileDialogs.h"
#include "trends/ui/TrendsWindow.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QValueAxis>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kEnergyTicks = 4;

QString kWhText(double kWh) {
    return QLocale().toString(kWh, 'f', 3);
}

QString monthName(const QDate& month) {
    return QLocale().standaloneMonthName(month.month()) + QLatin1Char(' ') + QString::number(month.year());
}

} // namespace

ProductionView::ProductionView(const SampleRing& ring, Notifier& notifier, std::function<QString()> logFolder,
                               QWidget* parent)
    : QWidget(parent)
    , ring_(ring)
    , notifier_(notifier)
    , logFolder_(std::move(logFolder))
    , openLog_([] { return QString(); })
    , liveAdapter_([] { return QString(); })
    , clock_([] { return QDateTime::currentDateTime(); }) {
    setObjectName(QStringLiteral("ProductionView"));
    buildControls();
    connect(&reader_, &ProductionReader::finished, this, &ProductionView::onRead);
    connect(&ring_, &SampleRing::appended, this, &ProductionView::onRingAppended);
    updateControls();
}

ProductionView::~ProductionView() = default;

void ProductionView::buildControls() {
    const auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    previousButton_ = button("PreviousMonthButton", tr("◀ Previous month"));
    connect(previousButton_, &QPushButton::clicked, this, &ProductionView::showPreviousMonth);
    nextButton_ = button("NextMonthButton", tr("Next month ▶"));
    connect(nextButton_, &QPushButton::clicked, this, &ProductionView::showNextMonth);
    exportButton_ = button("ExportDailyCsvButton", tr("Export CSV…"));
    connect(exportButton_, &QPushButton::clicked, this, &ProductionView::chooseExport);
    monthLabel_ = new QLabel(this);
    monthLabel_->setObjectName(QStringLiteral("MonthLabel"));
    monthLabel_->setAlignment(Qt::AlignCenter);
    monthLabel_->setMinimumWidth(140);
    QFont bold = monthLabel_->font();
    bold.setBold(true);
    monthLabel_->setFont(bold);

    auto* tools = new QHBoxLayout;
    tools->addWidget(previousButton_);
    tools->addWidget(monthLabel_);
    tools->addWidget(nextButton_);
    tools->addStretch();
    tools->addWidget(exportButton_);

    todayLabel_ = new QLabel(this);
    todayLabel_->setObjectName(QStringLiteral("TodayLabel"));
    todayLabel_->setFont(bold);
    monthTotalLabel_ = new QLabel(this);
    monthTotalLabel_->setObjectName(QStringLiteral("MonthTotalLabel"));
    monthTotalLabel_->setFont(bold);
    sourceLabel_ = new QLabel(this);
    sourceLabel_->setObjectName(QStringLiteral("ProductionSourceLabel"));
    readout_ = new QLabel(this);
    readout_->setObjectName(QStringLiteral("ProductionReadoutLabel"));
    readout_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* totals = new QHBoxLayout;
    totals->addWidget(todayLabel_);
    totals->addSpacing(24);
    totals->addWidget(monthTotalLabel_);
    totals->addStretch();
    auto* status = new QHBoxLayout;
    status->addWidget(sourceLabel_);
    status->addStretch();
    status->addWidget(readout_);

    bars_ = new QBarSet(tr("Energy"));
    bars_->setColor(QColor(0x2c, 0xa0, 0x2c));
    bars_->setBorderColor(QColor(0x2c, 0xa0, 0x2c));
    bars_->setSelectedColor(QColor(0xff, 0x7f, 0x0e)); // today
    connect(bars_, &QBarSet::hovered, this, [this](bool over, int index) {
        if (!over) {
            readout_->clear();
            return;
        }
        const QDate date = month_.addDays(index);
        readout_->setText(tr("%1: %2").arg(QLocale().toString(date, QLocale::LongFormat),
                                           energyText(tally_.day(date))));
    });
    auto* series = new QBarSeries;
    series->append(bars_);
    series->setBarWidth(0.8);
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundRoundness(0);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->addSeries(series);
    dayAxis_ = new QBarCategoryAxis;
    dayAxis_->setTitleText(tr("Day"));
    chart->addAxis(dayAxis_, Qt::AlignBottom);
    series->attachAxis(dayAxis_);
    energyAxis_ = new QValueAxis;
    energyAxis_->setTitleText(tr("Energy [kWh]"));
    energyAxis_->setLabelFormat(QStringLiteral("%.4g"));
    chart->addAxis(energyAxis_, Qt::AlignLeft);
    series->attachAxis(energyAxis_);
    chartView_ = new QChartView(chart, this);
    chartView_->setObjectName(QStringLiteral("ProductionChart"));
    chartView_->setRenderHint(QPainter::Antialiasing, false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(tools);
    layout->addLayout(totals);
    layout->addLayout(status);
    layout->addWidget(chartView_, 1);
}

QString ProductionView::energyText(const std::optional<DayEnergy>& energy) {
    if (!energy)
        return tr("not known");
    return tr("%1 kWh over %2 h measured")
        .arg(kWhText(energy->kWh()), QLocale().toString(energy->knownSeconds / 3600.0, 'f', 1));
}

QDate ProductionView::todayDate() const {
    return clock_().date();
}

QString ProductionView::resolveAdapter() const {
    const LogFileName open = LogFileName::parse(QFileInfo(openLog_()).fileName());
    if (open.isValid())
        return open.adapter;
    const QString live = liveAdapter_();
    if (!live.isEmpty())
        return live;
    return newestLogAdapter(logFolder_());
}

bool ProductionView::liveCounts() const {
    return loaded_ && !adapter_.isEmpty() && adapter_ == liveAdapter_();
}

std::optional<DayEnergy> ProductionView::today() const {
    return tally_.day(todayDate());
}

std::optional<DayEnergy> ProductionView::monthTotal() const {
    return tally_.total(month_, month_.addMonths(1).addDays(-1));
}

QList<qreal> ProductionView::barValues() const {
    QList<qreal> values;
    for (int i = 0; i < bars_->count(); ++i)
        values.append(bars_->at(i));
    return values;
}

void ProductionView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!month_.isValid()) {
        const QDate today = todayDate();
        month_ = QDate(today.year(), today.month(), 1);
    }
    reload(); // the adapter, the folder or the logs may have changed while hidden
}

void ProductionView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Nothing to show: the reading under way is given up, and done again when shown.
    if (reader_.isReading()) {
        reader_.cancel();
        loaded_ = false;
        updateControls();
    }
}

void ProductionView::showMonth(const QDate& month) {
    if (!month.isValid())
        return;
    month_ = QDate(month.year(), month.month(), 1);
    reload();
}

void ProductionView::reload() {
    if (!month_.isValid()) {
        const QDate today = todayDate();
        month_ = QDate(today.year(), today.month(), 1);
    }
    adapter_ = resolveAdapter();
    loaded_ = false;
    tally_ = EnergyTally();
    logs_ = 0;
    skippedLines_ = 0;
    refused_.clear();
    reader_.start(logFolder_(), adapter_, month_, todayDate());
    showBars();
    showTotals();
    updateControls();
}

void ProductionView::onRead(const ProductionMonth& month) {
    tally_ = month.tally;
    logs_ = month.logs;
    skippedLines_ = month.skippedLines;
    refused_ = month.refused;
    loaded_ = true;
    // The ring's seconds that the logs did not hold: the last hour, read after the logs so a
    // second both in the log and in the ring counts once.
    if (liveCounts())
        for (int i = 0; i < ring_.size(); ++i)
            addLive(ring_.at(i));
    showBars();
    showTotals();
    updateControls();
    emit loaded();
}

bool ProductionView::addLive(const TrendPoint& point) {
    const QDate date = QDateTime::fromMSecsSinceEpoch(point.time).date();
    const bool shown = date.year() == month_.year() && date.month() == month_.month();
    if (!shown && date != todayDate())
        return false;
    return tally_.add(point);
}

void ProductionView::onRingAppended() {
    if (!liveCounts() || ring_.size() == 0)
        return;
    if (!addLive(ring_.at(ring_.size() - 1)))
        return;
    if (isVisible()) {
        showBars();
        showTotals();
    }
}

void ProductionView::showTotals() {
    const std::optional<DayEnergy> today = this->today();
    todayLabel_->setText(loaded_ && today ? tr("Today: %1 kWh").arg(kWhText(today->kWh()))
                                          : loaded_ ? tr("Today: not known")
                                                    : tr("Today: …"));
    const std::optional<DayEnergy> month = monthTotal();
    const QString name = monthName(month_);
    monthTotalLabel_->setText(loaded_ && month ? tr("%1: %2 kWh").arg(name, kWhText(month->kWh()))
                              : loaded_        ? tr("%1: not known").arg(name)
                                               : tr("%1: …").arg(name));
    emit totalsChanged();
}

void ProductionView::showBars() {
    const int days = month_.daysInMonth();
    if (dayAxis_->count() != days) {
        QStringList categories;
        for (int day = 1; day <= days; ++day)
            categories << QString::number(day);
        dayAxis_->setCategories(categories);
    }
    double highest = 0;
    QList<qreal> values;
    for (int day = 0; day < days; ++day) {
        const std::optional<DayEnergy> energy = tally_.day(month_.addDays(day));
        const double kWh = energy ? energy->kWh() : 0.0;
        highest = std::max(highest, kWh);
        values.append(kWh);
    }
    if (bars_->count() != days) {
        bars_->remove(0, bars_->count());
        bars_->append(values);
    } else {
        for (int day = 0; day < days; ++day)
            if (bars_->at(day) != values[day])
                bars_->replace(day, values[day]);
    }
    const QDate today = todayDate();
    bars_->deselectAllBars();
    if (today.year() == month_.year() && today.month() == month_.month())
        bars_->selectBar(today.day() - 1);
    const NiceScale scale = valueScale(0, highest, kEnergyTicks);
    if (energyAxis_->min() != scale.min || energyAxis_->max() != scale.max) {
        energyAxis_->setRange(scale.min, scale.max);
        energyAxis_->setTickCount(scale.ticks);
    }
}

void ProductionView::updateControls() {
    monthLabel_->setText(month_.isValid() ? monthName(month_) : QString());
    const QDate today = todayDate();
    nextButton_->setEnabled(month_.isValid() && month_ < QDate(today.year(), today.month(), 1));
    exportButton_->setEnabled(loaded_);
    QString text;
    if (adapter_.isEmpty())
        text = tr("No log in %1").arg(QDir::toNativeSeparators(logFolder_()));
    else if (reader_.isReading())
        text = tr("Reading the logs of %1…").arg(adapter_);
    else if (loaded_)
        text = tr("Logs of %1: %2 read").arg(adapter_).arg(logs_);
    if (skippedLines_ > 0)
        text += QStringLiteral(", ") + TrendsWindow::skippedText(skippedLines_);
    if (!refused_.isEmpty())
        text += QStringLiteral(", ") + tr("%1 not read").arg(refused_.size());
    sourceLabel_->setText(text);
    sourceLabel_->setToolTip(refused_.join(QLatin1Char('\n')));
}

void ProductionView::chooseExport() {
    const QString name = QStringLiteral("%1_%2_Production_%3.csv")
                             .arg(month_.year())
                             .arg(month_.month(), 2, 10, QLatin1Char('0'))
                             .arg(adapter_);
    const QString path = TrendFileDialogs::chooseExport(this, QDir(logFolder_()).filePath(name),
                                                        TrendsWindow::tr("CSV file (*.csv)"));
    if (!path.isEmpty())
        exportCsv(path);
}

bool ProductionView::exportCsv(const QString& path) {
    // A month is at most 31 short lines: written at once.
    if (writeDailyEnergyCsv(path, tally_, month_))
        return true;
    notifier_.showMessage(TrendsWindow::writeFailureMessage(path));
    return false;
}
