#include "app/WindowMain.h"

#include <QAccessible>

#include "app/AlertRectangle.h"
#include "app/CanvasLogo.h"
#include "app/CaptureFileChooser.h"
#include "app/DriverLinkLabel.h"
#include "app/MainMenuBar.h"
#include "app/PaneBackdrop.h"
#include "app/VersionText.h"
#include "core/Captions.h"
#include "core/NumberMask.h"
#include "core/WindowGeometryStore.h"
#include "core/ui/LayoutFonts.h"
#include "datalog/CsvLog.h"
#include "display/HpuDecoder.h"
#include "display/ui/CanvasProp.h"
#include "trends/LogFileName.h"
#include "trends/TrendThresholds.h"
#include "trends/ui/ProductionView.h"
#include "trends/ui/TrendsWindow.h"

#include <QAccessible>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabWidget>

namespace {

const QColor kMainColour(0x5A, 0x91, 0xA8); // value texts
constexpr int kCaptionGap = 4;              // points between a caption's text and its value's

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, colour);
    widget->setPalette(p);
}

} // namespace

WindowMain::WindowMain(const Platform& platform, LinkOpener& browser, MainMenuBar* menuBar, QWidget* parent)
    : QMainWindow(parent)
    , monitor_(platform)
    , recorder_(monitor_, platform.notifier)
    , windowGeometry_(std::make_unique<SettingsWindowGeometryStore>(platform.resources.userSettingsPath()))
    , refresh_(platform.clock, platform.timers, [this] { syncControls(); })
    , pictures_(platform.resources)
    , browser_(browser)
    , windows_(applicationSecondaryWindows())
    , menuBar_(menuBar ? menuBar : new MainMenuBar) {
    setObjectName(QStringLiteral("WindowMain"));
    setWindowTitle(QStringLiteral("Velmora"));
    setWindowFlag(Qt::WindowFullscreenButtonHint, false);
    setMenuBar(menuBar_);

    content_ = new QWidget;
    content_->setObjectName(QStringLiteral("WindowMainContent"));
    content_->setFixedSize(kContentWidth, kContentHeight);
    setCentralWidget(content_);
    // The content keeps its size; the window follows it and cannot be resized.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    createTopRow();
    auto* valuesPage = new QWidget;
    valuesPage->setObjectName(QStringLiteral("ValuesPage"));
    auto* rawStreamPage = new QWidget;
    rawStreamPage->setObjectName(QStringLiteral("RawStreamPage"));
    // The tab definition: App.kRawDataTab, then App.kValuesTab. The constant named after
    // raw data captions the values page and the one named after values the raw stream.
    TabPanel1_->addTab(valuesPage, App::text(App::Caption::kRawDataTab));
    TabPanel1_->addTab(rawStreamPage, App::text(App::Caption::kValuesTab));
    TabPanel1_->setCurrentIndex(0);
    createValuesPage(valuesPage);
    new PaneBackdrop(TabPanel1_, valuesPage); // value labels repaint without the pane beneath
    createRawStreamPage(rawStreamPage);

    for (QWidget* page : {valuesPage, rawStreamPage}) {
        page->installEventFilter(this);
        if (page->parentWidget())
            page->parentWidget()->installEventFilter(this);
    }
    placeControls();

    connectMenus();
    connectControls();
    connect(&monitor_, &Monitor::secondSampled, &trendRing_, &SampleRing::append);
    refresh_.refreshNow();
    // Settle the fixed window size now, before the platform window exists.
    ensurePolished();
    layout()->activate();
    open();
}

WindowMain::~WindowMain() {
    delete trendsWindow_; // it reads the ring and the dialogs, which go with this window
    // The controls go first, while the Monitor they forward to still exists.
    delete takeCentralWidget();
}

template <class Control>
Control* WindowMain::place(Control* control, const char* name, const QRect& contentRect) {
    control->setObjectName(QString::fromLatin1(name));
    placements_.append({control, contentRect});
    return control;
}

void WindowMain::placeControls() {
    for (const Placement& placement : std::as_const(placements_)) {
        if (!placement.control)
            continue;
        QWidget* parent = placement.control->parentWidget();
        const QPoint origin = parent == content_ ? QPoint() : parent->mapTo(content_, QPoint());
        placement.control->setGeometry(placement.contentRect.translated(-origin));
    }
}

bool WindowMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize)
        placeControls();
    return QMainWindow::eventFilter(watched, event);
}

void WindowMain::createTopRow() {
    CanvasLogo_ = place(new CanvasLogo(pictures_.picture(QStringLiteral("DariVozirovavavavover")), content_),
                        "CanvasLogo", QRect(20, 13, 174, 40));

    Label1_ = place(new DriverLinkLabel(
                        browser_, [this] { return monitor_.isConnected(); }, content_),
                    "Label1", QRect(206, 23, 75, 21));
    Label1_->setFont(LayoutFonts::system());
    Label1_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    SerialPortsPopupMenu_ = place(new QComboBox(content_), "SerialPortsPopupMenu", QRect(288, 22, 235, 20));
    SerialPortsPopupMenu_->setFont(LayoutFonts::system());

    ConnectButton_ = place(new QPushButton(App::text(App::Caption::kConnectCaption), content_),
                           "ConnectButton", QRect(535, 22, 98, 20));
    ConnectButton_->setFont(LayoutFonts::system());
    ConnectButton_->setDefault(true); // answers the Return key (keyPressEvent)
    ConnectButton_->setEnabled(false);

    CheckBoxLog_ =
        place(new QCheckBox(tr("Log"), content_), "CheckBoxLog", QRect(646, 23, 52, 20));
    CheckBoxLog_->setFont(LayoutFonts::system());
    CheckBoxLog_->setChecked(true);
    CheckBoxLog_->setEnabled(false);
    CheckBoxLog_->setToolTip(App::text(App::Caption::kLogHelptag));

    TabPanel1_ = place(new QTabWidget(content_), "TabPanel1", QRect(20, 55, 683, 320));
    TabPanel1_->setFont(LayoutFonts::system());

    Label_Version_ = place(new QLabel(content_), "Label_Version", QRect(20, 387, 682, 42));
    Label_Version_->setFont(LayoutFonts::system(11));
    Label_Version_->setAlignment(Qt::AlignCenter);
    Label_Version_->setText(versionText(buildDate())); // composed once, at opening
}

void WindowMain::createValuesPage(QWidget* page) {
    const auto nameLabel = [this](QWidget* parent, const char* name, const QString& text, const QRect& rect) {
        QLabel* label = place(new QLabel(text, parent), name, rect);
        label->setFont(LayoutFonts::system(16));
        return label;
    };
    const auto valueLabel = [this](QWidget* parent, const char* name, const QRect& rect) {
        QLabel* label = place(new QLabel(parent), name, rect);
        label->setFont(LayoutFonts::consolas(24, true));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        setTextColour(label, kMainColour);
        return label;
    };
    const auto button = [this](QWidget* parent, const char* name, const QRect& rect) {
        QPushButton* pushButton = place(new QPushButton(parent), name, rect);
        pushButton->setFont(LayoutFonts::system(16));
        pushButton->setAutoDefault(false);
        return pushButton;
    };

    Rect_AlertInputVoltage_ =
        place(new AlertRectangle(page), "Rect_AlertInputVoltage", QRect(30, 115, 280, 25));
    const QLabel* nameUin = nameLabel(Rect_AlertInputVoltage_, "LabelName_Uin",
                                      App::text(App::Caption::kInputVoltage), QRect(35, 116, 185, 24));
    LabelValue_Uin_ = valueLabel(Rect_AlertInputVoltage_, "LabelValue_Uin", QRect(214, 113, 80, 24));

    const QLabel* nameUout =
        nameLabel(page, "LabelName_Uout", App::text(App::Caption::kOutputVoltage), QRect(35, 148, 185, 24));
    LabelValue_Uout_ = valueLabel(page, "LabelValue_Uout", QRect(214, 145, 80, 24));
    const QLabel* nameIout =
        nameLabel(page, "LabelName_Iout", App::text(App::Caption::kOutputCurrent), QRect(35, 180, 185, 24));
    LabelValue_Iout_ = valueLabel(page, "LabelValue_Iout", QRect(214, 177, 80, 24));
    const QLabel* namePout =
        nameLabel(page, "LabelName_Pout", App::text(App::Caption::kOutputPower), QRect(35, 212, 185, 24));
    LabelValue_Pout_ = valueLabel(page, "LabelValue_Pout", QRect(214, 209, 80, 24));

    Rect_AlertTemp_ = place(new AlertRectangle(page), "Rect_AlertTemp", QRect(30, 243, 280, 25));
    const QLabel* nameT =
        nameLabel(Rect_AlertTemp_, "LabelName_T", App::text(App::Caption::kCVTemp), QRect(35, 244, 185, 24));
    LabelValue_T_ = valueLabel(Rect_AlertTemp_, "LabelValue_T", QRect(214, 241, 80, 24));

    Rect_AlertRPM_ = place(new AlertRectangle(page), "Rect_AlertRPM", QRect(30, 275, 280, 25));
    const QLabel* nameRPM =
        nameLabel(Rect_AlertRPM_, "LabelName_RPM", tr("RPM"), QRect(35, 276, 185, 24));
    LabelValue_RPM_ = valueLabel(Rect_AlertRPM_, "LabelValue_RPM", QRect(214, 273, 80, 24));

    LabelName_Pression_ =
        nameLabel(page, "LabelName_Pression", App::text(App::Caption::kPressure), QRect(351, 116, 157, 24));
    LabelValue_Pression_ = valueLabel(page, "LabelValue_Pression", QRect(520, 118, 101, 24));
    LabelName_ModeHPU_ =
        nameLabel(page, "LabelName_ModeHPU", tr("Mode"), QRect(351, 148, 127, 24));
    LabelValue_ModeHPU_ = valueLabel(page, "LabelValue_ModeHPU", QRect(457, 150, 164, 24));
    LabelName_Pitch_ =
        nameLabel(page, "LabelName_Pitch", App::text(App::Caption::kPitchCorr), QRect(351, 180, 157, 24));
    LabelValue_Pitch_ = valueLabel(page, "LabelValue_Pitch", QRect(457, 182, 164, 24));

    CanvasProp_ = place(new CanvasProp(
                            monitor_.state(), [this](double alpha) { monitor_.keepGaugeAngle(alpha); },
                            pictures_.picture(QStringLiteral("Moyeu2")), page),
                        "CanvasProp", QRect(348, 209, 309, 135));
    ReleaseButton_ = button(CanvasProp_, "ReleaseButton", QRect(511, 209, 90, 22));
    PompeButton_ = button(page, "PompeButton", QRect(611, 209, 90, 22));
    // The HPU rows, the gauge and its buttons appear with the first HPU frame.
    LabelConnectionLost_Values_ =
        createConnectionLine(page, "LabelConnectionLost_Values", QRect(30, 88, 627, 22));
    const std::initializer_list<QWidget*> hpuControls{LabelName_Pression_, LabelName_ModeHPU_,
                                                      LabelName_Pitch_, CanvasProp_};
    for (QWidget* hidden : hpuControls)
        hidden->setVisible(false);

    // The longest texts each value label can show: its design-time text, and the widest value
    // the installation can reach (hundreds of volts, amperes and degrees, four-digit watts,
    // five-digit speeds, the largest pressure the frame carries) or every word it can read.
    // The -1 of an unknown value is narrower.
    const ControlsState design;
    const auto widest = [&design](const LabelState& label, double value, const char* mask) {
        return QStringList{label.text, formatMask(value, QString::fromLatin1(mask))};
    };
    fitValueColumn({
        {LabelValue_Uin_, nameUin, widest(design.LabelValue_Uin, 999.99, "0.00")},
        {LabelValue_Uout_, nameUout,
         widest(design.LabelValue_Uout, 35.0, "0.00")}, // both versions below 35 V
        {LabelValue_Iout_, nameIout, widest(design.LabelValue_Iout, 999.99, "0.00")},
        {LabelValue_Pout_, namePout, widest(design.LabelValue_Pout, 9999.0, "000")},
        {LabelValue_T_, nameT, widest(design.LabelValue_T, 999.99, "0.00")},
        {LabelValue_RPM_, nameRPM, widest(design.LabelValue_RPM, 99999.0, "0")},
    });
    fitValueColumn({
        {LabelValue_Pression_, LabelName_Pression_, widest(design.LabelValue_Pression, 655.35, "0.00")},
        {LabelValue_ModeHPU_, LabelName_ModeHPU_, hpuModeTexts() << design.LabelValue_ModeHPU.text},
        {LabelValue_Pitch_, LabelName_Pitch_, pitchCorrectionTexts() << design.LabelValue_Pitch.text},
    });
}

void WindowMain::fitValueColumn(const QVector<ValueLabelTexts>& column) {
    // One size for the column, so its values read alike: the largest at which every label's
    // longest text fits the width its caption leaves free. With "Consolas" that is the
    // layout's own size; a wider fallback font gets a smaller one.
    int pixels = column.isEmpty() ? 0 : column.first().value->font().pixelSize();
    for (const ValueLabelTexts& label : column) {
        const QRect valueRect = contentRectOf(label.value);
        const QRect captionRect = contentRectOf(label.caption);
        const int captionEnd = captionRect.left() +
                               QFontMetrics(label.caption->font()).horizontalAdvance(label.caption->text()) +
                               kCaptionGap;
        const int width = valueRect.right() + 1 - std::max(valueRect.left(), captionEnd);
        pixels = std::min(pixels, LayoutFonts::pixelSizeFitting(label.value->font(), label.texts, width));
    }
    for (const ValueLabelTexts& label : column) {
        QFont font = label.value->font();
        font.setPixelSize(pixels);
        label.value->setFont(font);
    }
}

QRect WindowMain::contentRectOf(const QWidget* control) const {
    for (const Placement& placement : placements_)
        if (placement.control == control)
            return placement.contentRect;
    return QRect();
}

void WindowMain::createRawStreamPage(QWidget* page) {
    Textfield_timer_emission_ =
        place(new QLineEdit(page), "Textfield_timer_emission", QRect(496, 88, 37, 22));
    Textfield_timer_emission_->setFont(LayoutFonts::system());
    Textfield_timer_emission_->setFrame(true);
    // A white field keeps black text, whatever the appearance: a dark palette's light text
    // would vanish on it.
    QPalette fieldPalette = Textfield_timer_emission_->palette();
    fieldPalette.setColor(QPalette::Base, Qt::white);
    fieldPalette.setColor(QPalette::Text, Qt::black);
    Textfield_timer_emission_->setPalette(fieldPalette);

    Label2_ =
        place(new QLabel(tr("timer emission (ms)"), page), "Label2", QRect(536, 89, 125, 20));
    Label2_->setFont(LayoutFonts::system());

    LabelConnectionLost_RawStream_ =
        createConnectionLine(page, "LabelConnectionLost_RawStream", QRect(20, 89, 470, 20));

    // The frame trace: newest entries on top, read-only, wrapped, vertical scroll bar only.
    TextArea1_ = place(new QPlainTextEdit(page), "TextArea1", QRect(20, 114, 681, 221));
    TextArea1_->setFont(LayoutFonts::consolas(14));
    TextArea1_->setReadOnly(true);
    TextArea1_->setFrameShape(QFrame::StyledPanel);
    TextArea1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TextArea1_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    TextArea1_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QPalette areaPalette = TextArea1_->palette();
    areaPalette.setColor(QPalette::Base, Qt::white);
    areaPalette.setColor(QPalette::Text, Qt::black);
    TextArea1_->setPalette(areaPalette);

    // The bus health since the last Connect, under the trace; the monitor composes the text.
    LabelBusHealth_ = place(new QLabel(page), "LabelBusHealth", QRect(20, 337, 681, 36));
    LabelBusHealth_->setFont(LayoutFonts::system(11));
    LabelBusHealth_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

// "Connection lost – reconnecting to <device>…": hidden while the link is fine.
QLabel* WindowMain::createConnectionLine(QWidget* page, const char* name, const QRect& rect) {
    QLabel* label = place(new QLabel(page), name, rect);
    label->setFont(LayoutFonts::system(13));
    setTextColour(label, QColor(0xC0, 0x00, 0x00));
    label->setVisible(false);
    return label;
}

void WindowMain::connectMenus() {
    QAction* record = menuBar_->itemNamed(QStringLiteral("FileRecordBus"));
    connect(record, &QAction::triggered, this, [this] { recordBus(); });
    connect(&recorder_, &BusRecorder::recordingChanged, record, &QAction::setChecked);
    QAction* quit = menuBar_->itemNamed(QStringLiteral("FileQuit"));
    // Quit closes the main window, whose close handler closes the port; the application
    // then ends with its last window.
    connect(quit, &QAction::triggered, this, &QWidget::close);
    connect(menuBar_->itemNamed(QStringLiteral("Alarmes")), &QAction::triggered, this,
            [this] { showAlarmsWindow(); });
    connect(menuBar_->itemNamed(QStringLiteral("HPUEEPROM")), &QAction::triggered, this,
            [this] { showHpuWindow(); });
    connect(menuBar_->itemNamed(QStringLiteral("EditPreferences")), &QAction::triggered, this,
            [this] { showPreferencesWindow(); });
    connect(menuBar_->itemNamed(QStringLiteral("ViewTrends")), &QAction::triggered, this,
            [this] { showTrendsWindow(); });
    connect(menuBar_->itemNamed(QStringLiteral("FileOpenLog")), &QAction::triggered, this,
            [this] { openLog(); });
}

void WindowMain::recordBus() {
    if (recorder_.isRecording()) {
        recorder_.stop();
        return;
    }
    const Platform& platform = monitor_.platform();
    const QString suggested = QDir(platform.userFolders.documents())
                                  .filePath(platform.wallClock.now().toString(
                                      QStringLiteral("'velmora-bus-'yyyy-MM-dd'_'HHmmss'.txt'")));
    const std::optional<QString> path = chooseCaptureFile(this, suggested);
    if (path)
        recorder_.start(*path, recordLimit_);
    // A cancelled choice or a refused file leaves the item unchecked.
    menuBar_->itemNamed(QStringLiteral("FileRecordBus"))->setChecked(recorder_.isRecording());
}

void WindowMain::connectControls() {
    connect(&monitor_, &Monitor::changed, &refresh_, &RefreshLimiter::request);
    connect(&monitor_, &Monitor::gaugeRepaintRequested, CanvasProp_, &CanvasProp::requestRepaint);

    // The user's own actions show at once, whatever the line is doing.
    connect(TabPanel1_, &QTabWidget::currentChanged, this, [this](int index) {
        monitor_.setRawStreamPageSelected(index == 1);
        refresh_.flush();
    });
    connect(Textfield_timer_emission_, &QLineEdit::textEdited, this, [this](const QString& text) {
        monitor_.setEmissionDelayText(text);
        refresh_.flush();
    });
    connect(CheckBoxLog_, &QCheckBox::clicked, this, [this](bool checked) {
        monitor_.setLogChecked(checked);
        refresh_.flush();
    });
    connect(SerialPortsPopupMenu_, &QComboBox::currentIndexChanged, this, [this](int index) {
        monitor_.SerialPortsPopupMenu_SelectionChanged(index);
        refresh_.flush();
    });
    connect(ConnectButton_, &QPushButton::clicked, this, [this] {
        monitor_.ConnectButton_Action();
        refresh_.flush();
    });
    connect(PompeButton_, &QPushButton::clicked, this, [this] {
        monitor_.PompeButton_Action();
        refresh_.flush();
    });
    connect(ReleaseButton_, &QPushButton::clicked, this, [this] {
        monitor_.ReleaseButton_Action();
        refresh_.flush();
    });
}

void WindowMain::open() {
    // Closing the main window, the application's last, ends the application.
    QGuiApplication::setQuitOnLastWindowClosed(true);
    monitor_.open();
    refresh_.refreshNow();
}

// --- Presenting the monitor -----------------------------------------------------------

void WindowMain::showLabel(QLabel* label, const LabelState& state) {
    label->setText(state.text); // unchanged text costs a comparison
    label->setVisible(state.visible);
}

void WindowMain::showButton(QPushButton* button, const ButtonState& state) {
    button->setText(state.caption);
    button->setEnabled(state.enabled);
    button->setVisible(state.visible);
}

void WindowMain::syncControls() {
    const ControlsState& c = monitor_.controls();

    showLabel(LabelValue_Uin_, c.LabelValue_Uin);
    showLabel(LabelValue_Uout_, c.LabelValue_Uout);
    showLabel(LabelValue_Iout_, c.LabelValue_Iout);
    showLabel(LabelValue_Pout_, c.LabelValue_Pout);
    showLabel(LabelValue_T_, c.LabelValue_T);
    showLabel(LabelValue_RPM_, c.LabelValue_RPM);

    showLabel(LabelValue_Pression_, c.LabelValue_Pression);
    showLabel(LabelValue_ModeHPU_, c.LabelValue_ModeHPU);
    showLabel(LabelValue_Pitch_, c.LabelValue_Pitch);
    LabelName_Pression_->setVisible(c.LabelName_Pression_visible);
    LabelName_ModeHPU_->setVisible(c.LabelName_ModeHPU_visible);
    LabelName_Pitch_->setVisible(c.LabelName_Pitch_visible);
    CanvasProp_->setVisible(c.CanvasProp_visible);
    showButton(PompeButton_, c.PompeButton);
    showButton(ReleaseButton_, c.ReleaseButton);

    Rect_AlertInputVoltage_->setFill(c.Rect_AlertInputVoltage);
    Rect_AlertRPM_->setFill(c.Rect_AlertRPM);
    Rect_AlertTemp_->setFill(c.Rect_AlertTemp);

    if (Textfield_timer_emission_->text() != c.Textfield_timer_emission)
        Textfield_timer_emission_->setText(c.Textfield_timer_emission);
    const int page = c.rawStreamPageSelected ? 1 : 0;
    if (TabPanel1_->currentIndex() != page) {
        const QSignalBlocker blocker(TabPanel1_);
        TabPanel1_->setCurrentIndex(page);
    }

    showConnectionLine(LabelConnectionLost_Values_, c.connectionLine);
    showConnectionLine(LabelConnectionLost_RawStream_, c.connectionLine);

    showDeviceList();
    showButton(ConnectButton_, c.ConnectButton);
    if (CheckBoxLog_->isChecked() != c.CheckBoxLog_checked) {
        const QSignalBlocker blocker(CheckBoxLog_);
        CheckBoxLog_->setChecked(c.CheckBoxLog_checked);
    }
    CheckBoxLog_->setEnabled(c.CheckBoxLog_enabled);
    if (hpuMenuEnabled_ != c.HPUMenu_enabled) {
        hpuMenuEnabled_ = c.HPUMenu_enabled;
        menuBar_->setHpuMenuEnabled(hpuMenuEnabled_);
    }

    appNap_.setHeld(monitor_.isConnected());

    if (LabelBusHealth_->text() != c.busHealthText)
        LabelBusHealth_->setText(c.busHealthText);

    const QString& trace = monitor_.trace().text();
    if (TextArea1_->toPlainText() != trace)
        TextArea1_->setPlainText(trace);
}

void WindowMain::showDeviceList() {
    const ControlsState& c = monitor_.controls();
    // The Monitor decides the rows and the selection; the window only mirrors them, so the
    // selection-changed handler runs once, from the Monitor, not again from here.
    const QSignalBlocker blocker(SerialPortsPopupMenu_);
    bool sameRows = SerialPortsPopupMenu_->count() == c.SerialPortsPopupMenu_rows.size();
    for (int i = 0; sameRows && i < SerialPortsPopupMenu_->count(); ++i)
        sameRows = SerialPortsPopupMenu_->itemText(i) == c.SerialPortsPopupMenu_rows.at(i);
    if (!sameRows) {
        SerialPortsPopupMenu_->clear();
        SerialPortsPopupMenu_->addItems(c.SerialPortsPopupMenu_rows);
    }
    if (SerialPortsPopupMenu_->currentIndex() != c.SerialPortsPopupMenu_selected)
        SerialPortsPopupMenu_->setCurrentIndex(c.SerialPortsPopupMenu_selected);
    SerialPortsPopupMenu_->setEnabled(c.SerialPortsPopupMenu_enabled);
}

void WindowMain::showConnectionLine(QLabel* label, const QString& line) {
    if (label->text() == line)
        return;
    label->setText(line);
    // A screen reader reads the label's name, and is told at once when the link is lost.
    label->setAccessibleName(line);
    label->setVisible(!line.isEmpty());
    if (!line.isEmpty()) {
        QAccessibleEvent alert(label, QAccessible::Alert);
        QAccessible::updateAccessibility(&alert);
    }
}

// --- Window events ----------------------------------------------------------------------

void WindowMain::closeEvent(QCloseEvent* event) {
    monitor_.close(); // closes the serial port, open or not; nothing else is saved
    if (trendsWindow_)
        trendsWindow_->close(); // the application ends with its main window
    event->accept();
}

void WindowMain::keyPressEvent(QKeyEvent* event) {
    // ConnectButton is the window's default button: Return presses it.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && ConnectButton_->isEnabled() &&
        ConnectButton_->isVisible()) {
        ConnectButton_->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// --- Menus ------------------------------------------------------------------------------

bool WindowMain::showModal(const ModalWindowFactory& factory, QPointer<QDialog>& shown) {
    if (!factory)
        return false;
    if (shown) { // one instance at a time
        shown->raise();
        shown->activateWindow();
        return true;
    }
    std::unique_ptr<QDialog> window = factory(monitor_, this);
    shown = window.get();
    window->setWindowModality(Qt::ApplicationModal);
    // A nested event loop: the Monitor's timers and the port's events keep being handled.
    window->exec();
    refresh_.flush(); // what the window changed shows as it closes
    return true;
}

bool WindowMain::showAlarmsWindow() {
    return showModal(windows_.alarms, alarmsWindow_);
}

bool WindowMain::showPreferencesWindow() {
    return showModal(windows_.preferences, preferencesWindow_);
}

bool WindowMain::showHpuWindow() {
    return showModal(windows_.hpuEeprom, hpuWindow_);
}

TrendsWindow* WindowMain::showTrendsWindow() {
    if (!trendsWindow_) {
        trendsWindow_ = new TrendsWindow(
            trendRing_, [this] { return TrendThresholds::fromState(monitor_.state()); },
            monitor_.platform().notifier, *windowGeometry_,
            [this] {
                monitor_.readLogPathFile(); // the folder as set now, also before the first connection
                return monitor_.state().LogFolder;
            },
            this);
        ProductionView* production = trendsWindow_->productionView();
        // The live seconds are the selected adapter's, named as its log file is.
        production->setLiveAdapter([this] {
            const ControlsState& c = monitor_.controls();
            const QString entry = c.SerialPortsPopupMenu_rows.value(c.SerialPortsPopupMenu_selected);
            if (entry.isEmpty())
                return QString();
            return LogFileName::parse(CsvLog::fileName(monitor_.platform().wallClock.now(), entry)).adapter;
        });
        production->setClock([this] { return monitor_.platform().wallClock.now(); });
    }
    trendsWindow_->show();
    trendsWindow_->raise();
    trendsWindow_->activateWindow();
    return trendsWindow_;
}

void WindowMain::openLog() {
    showTrendsWindow()->chooseLog();
}
