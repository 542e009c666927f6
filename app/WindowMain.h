#pragma once

#include "app/AppNapActivity.h"
#include "app/ResourcePictures.h"
#include "app/SecondaryWindows.h"
#include "core/RefreshLimiter.h"
#include "monitor/BusRecorder.h"
#include "monitor/Monitor.h"
#include "trends/SampleRing.h"

#include <QMainWindow>
#include <QPointer>
#include <QVector>

class AlertRectangle;
class CanvasLogo;
class CanvasProp;
class DriverLinkLabel;
class LinkOpener;
class MainMenuBar;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class TrendsWindow;
class WindowGeometryStore;

// WindowMain, the tool's one main window. It owns the Monitor (the live state, the timers
// and the serial port) and presents it: after every change it copies Monitor::controls()
// and the raw-stream trace onto its controls (at most every RefreshLimiter period while the
// line is busy; at once after the user's own actions), repaints the gauge when asked, and forwards
// the user's actions to the Monitor's handlers. Every control carries its name as its
// objectName and sits where the layout puts it, in window content coordinates.
class WindowMain : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kContentWidth = 722;
    static constexpr int kContentHeight = 438;

    // The menu bar is the application's MainMenuBar when given, else one is built here.
    WindowMain(const Platform& platform, LinkOpener& browser, MainMenuBar* menuBar = nullptr,
               QWidget* parent = nullptr);
    ~WindowMain() override;

    Monitor& monitor() { return monitor_; }
    MainMenuBar* mainMenuBar() const { return menuBar_; }
    // The window's content area (722 x 438), parent of every control.
    QWidget* content() const { return content_; }

    void setSecondaryWindows(SecondaryWindows windows) { windows_ = std::move(windows); }

    // The capture of the bus (--record, File > Record bus...), and where it stops.
    BusRecorder& busRecorder() { return recorder_; }
    void setRecordLimit(qint64 bytes) { recordLimit_ = bytes; }
    // File > Record bus...: asks for a file and starts a capture, or stops the one running.
    void recordBus();

    // Menu handlers: each shows its window modally and returns true once that window has
    // been closed; false when the window does not exist in this build.
    bool showAlarmsWindow();
    bool showPreferencesWindow();
    bool showHpuWindow();

    // The last hour of samples, fed by the monitor's second tick whether or not the trends
    // window is open.
    const SampleRing& trendRing() const { return trendRing_; }
    // View > Trends: the non-modal trends window, built at its first opening and kept, so it
    // comes back where it was left.
    TrendsWindow* showTrendsWindow();
    // File > Open log…: a log chosen by the user, shown in the trends window.
    void openLog();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createTopRow();
    void createValuesPage(QWidget* page);
    void createRawStreamPage(QWidget* page);

    // A value label, its caption, and the longest texts the value label can show.
    struct ValueLabelTexts {
        QLabel* value;
        const QLabel* caption;
        QStringList texts;
    };
    void fitValueColumn(const QVector<ValueLabelTexts>& column);
    QRect contentRectOf(const QWidget* control) const;
    void connectMenus();
    void connectControls();
    void open();

    void syncControls();
    static void showLabel(QLabel* label, const LabelState& state);
    static void showButton(QPushButton* button, const ButtonState& state);
    void showDeviceList();
    void showConnectionLine(QLabel* label, const QString& line);
    QLabel* createConnectionLine(QWidget* page, const char* name, const QRect& rect);

    // Remembers a control's place in content coordinates; placeControls() converts it to
    // the parent's coordinates whenever a tab page moves.
    template <class Control> Control* place(Control* control, const char* name, const QRect& contentRect);
    void placeControls();

    bool showModal(const ModalWindowFactory& factory, QPointer<QDialog>& shown);

    Monitor monitor_;
    BusRecorder recorder_;
    qint64 recordLimit_ = Capture::kMaxFileBytes;
    SampleRing trendRing_;
    std::unique_ptr<WindowGeometryStore> windowGeometry_; // the trends window's size and place
    QPointer<TrendsWindow> trendsWindow_;
    RefreshLimiter refresh_;
    ResourcePictures pictures_;
    LinkOpener& browser_;
    SecondaryWindows windows_;
    MainMenuBar* menuBar_;
    QWidget* content_;

    struct Placement {
        QPointer<QWidget> control;
        QRect contentRect;
    };
    QVector<Placement> placements_;

    QPointer<QDialog> alarmsWindow_;
    QPointer<QDialog> preferencesWindow_;
    QPointer<QDialog> hpuWindow_;

    CanvasLogo* CanvasLogo_ = nullptr;
    DriverLinkLabel* Label1_ = nullptr;
    QComboBox* SerialPortsPopupMenu_ = nullptr;
    QPushButton* ConnectButton_ = nullptr;
    QCheckBox* CheckBoxLog_ = nullptr;
    QTabWidget* TabPanel1_ = nullptr;
    QLabel* Label_Version_ = nullptr;

    AlertRectangle* Rect_AlertInputVoltage_ = nullptr;
    AlertRectangle* Rect_AlertTemp_ = nullptr;
    AlertRectangle* Rect_AlertRPM_ = nullptr;
    QLabel* LabelValue_Uin_ = nullptr;
    QLabel* LabelValue_Uout_ = nullptr;
    QLabel* LabelValue_Iout_ = nullptr;
    QLabel* LabelValue_Pout_ = nullptr;
    QLabel* LabelValue_T_ = nullptr;
    QLabel* LabelValue_RPM_ = nullptr;
    QLabel* LabelName_Pression_ = nullptr;
    QLabel* LabelValue_Pression_ = nullptr;
    QLabel* LabelName_ModeHPU_ = nullptr;
    QLabel* LabelValue_ModeHPU_ = nullptr;
    QLabel* LabelName_Pitch_ = nullptr;
    QLabel* LabelValue_Pitch_ = nullptr;
    CanvasProp* CanvasProp_ = nullptr;
    QPushButton* ReleaseButton_ = nullptr;
    QPushButton* PompeButton_ = nullptr;
    QLabel* LabelConnectionLost_Values_ = nullptr;
    QLabel* LabelConnectionLost_RawStream_ = nullptr;

    QLineEdit* Textfield_timer_emission_ = nullptr;
    QLabel* Label2_ = nullptr;
    QPlainTextEdit* TextArea1_ = nullptr;
    QLabel* LabelBusHealth_ = nullptr;

    bool hpuMenuEnabled_ = true;
    AppNapActivity appNap_; // held while connected
};
