#pragma once

#include "trends/EnergyTally.h"
#include "trends/ProductionReader.h"

#include <QDate>
#include <QDateTime>
#include <QWidget>

#include <functional>
#include <optional>

class Notifier;
class QBarSet;
class QChartView;
class QLabel;
class QPushButton;
class QValueAxis;
class SampleRing;
struct TrendPoint;

// The energy the turbine made: a bar a day for the month shown, worked out from the CSV logs
// of one adapter in the log folder on a worker thread, with today's total so far and the
// month's. The adapter is the one whose log the trends window has open, else the one
// connected (or last selected), else the one of the newest log in the folder. Today's total
// is today's log plus the live seconds of the ring that the log does not hold (the Log box
// unticked, or a second not yet read), a second never counted twice; the live seconds count
// only when the adapter summed is the one they come from. Previous and next month; the
// daily totals exported as CSV.
class ProductionView : public QWidget {
    Q_OBJECT
public:
    ProductionView(const SampleRing& ring, Notifier& notifier, std::function<QString()> logFolder,
                   QWidget* parent = nullptr);
    ~ProductionView() override;

    // The log the trends window has open (empty for none): its adapter's logs are summed.
    void setOpenLog(std::function<QString()> openLog) { openLog_ = std::move(openLog); }
    // The adapter whose seconds the ring holds: the last 8 characters of its device name as
    // the log's file name has them; empty when none was selected.
    void setLiveAdapter(std::function<QString()> liveAdapter) { liveAdapter_ = std::move(liveAdapter); }
    // The wall clock that tells which day is today.
    void setClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }

    QDate month() const { return month_; } // its first day
    QString adapter() const { return adapter_; }
    bool isReading() const { return reader_.isReading(); }
    bool isLoaded() const { return loaded_; }
    std::optional<DayEnergy> today() const;
    std::optional<DayEnergy> monthTotal() const;
    std::optional<DayEnergy> day(const QDate& date) const { return tally_.day(date); }
    // The height of each day's bar, in kWh (0 where not known).
    QList<qreal> barValues() const;

    static QString energyText(const std::optional<DayEnergy>& energy);

public slots:
    // Reads the month shown again, for the adapter as it is now.
    void reload();
    void showMonth(const QDate& month);
    void showPreviousMonth() { showMonth(month_.addMonths(-1)); }
    void showNextMonth() { showMonth(month_.addMonths(1)); }
    // The month's daily totals; a failure is also shown. False when it could not be written.
    bool exportCsv(const QString& path);

signals:
    // The month's logs were read and are shown.
    void loaded();
    // The totals shown changed (a month read, a live second counted).
    void totalsChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildControls();
    void onRead(const ProductionMonth& month);
    void onRingAppended();
    bool addLive(const TrendPoint& point);
    bool liveCounts() const;
    QDate todayDate() const;
    QString resolveAdapter() const;
    void chooseExport();
    void showTotals();
    void showBars();
    void updateControls();

    const SampleRing& ring_;
    Notifier& notifier_;
    std::function<QString()> logFolder_;
    std::function<QString()> openLog_;
    std::function<QString()> liveAdapter_;
    std::function<QDateTime()> clock_;
    ProductionReader reader_;

    QDate month_;
    QString adapter_;
    EnergyTally tally_;
    bool loaded_ = false;
    int logs_ = 0;
    int skippedLines_ = 0;
    QStringList refused_;

    QPushButton* previousButton_ = nullptr;
    QPushButton* nextButton_ = nullptr;
    QPushButton* exportButton_ = nullptr;
    QLabel* monthLabel_ = nullptr;
    QLabel* todayLabel_ = nullptr;
    QLabel* monthTotalLabel_ = nullptr;
    QLabel* sourceLabel_ = nullptr;
    QLabel* readout_ = nullptr;
    QChartView* chartView_ = nullptr;
    QBarSet* bars_ = nullptr;
    QValueAxis* energyAxis_ = nullptr;
    class QBarCategoryAxis* dayAxis_ = nullptr;
};
