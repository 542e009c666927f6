#include "Hex.h"
#include "QtWarnings.h"
#include "TestPlatform.h"

#include "app/AlertRectangle.h"
#include "app/CanvasLogo.h"
#include "app/DriverLinkLabel.h"
#include "app/LinkOpener.h"
#include "app/MainMenuBar.h"
#include "app/VersionText.h"
#include "app/WindowMain.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEnterEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <memory>

namespace {

// Converter frame, version 2: 48.0 V in, 24.000 V and 2.500 A out, 35.0 °C, 1500 rpm.
const char* const kConverterFrame = "00 01 10 10 01 E0 5D C0 09 C4 00 00 01 5E 03 E8 00 00 04 36";
// The same with 60.0 V in, above the 53.0 V threshold.
const char* const kAlertingConverterFrame = "00 01 10 10 02 58 5D C0 09 C4 00 00 01 5E 03 E8 00 00 03 AF";
// HPU status: 5.00 bar, mode Auto, pump active, pitch design byte 1.
const char* const kHpuFrame = "00 12 10 07 01 F4 FF F0 01 03 0E";
const char* const kPumpCommand = "12 11 48 02 00 6D";

class RecordingBrowser : public LinkOpener {
public:
    void open(const QUrl& url) override { opened.append(url); }
    QList<QUrl> opened;
};

QString shownText(const QWidget* control) {
    if (auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    if (auto* field = qobject_cast<const QLineEdit*>(control))
        return field->text();
    if (auto* area = qobject_cast<const QPlainTextEdit*>(control))
        return area->toPlainText();
    if (auto* list = qobject_cast<const QComboBox*>(control))
        return QString::number(list->count()) + QStringLiteral(" rows");
    return QString();
}

// A translation of the Connect caption only, as an installed language would bring.
class ConnectTranslator : public QTranslator {
public:
    QString translate(const char* context, const char*, const char* disambiguation, int) const override {
        if (qstrcmp(context, "App") == 0 && qstrcmp(disambiguation, "App.kConnectCaption") == 0)
            return QStringLiteral("Verbinden");
        return QString();
    }
    bool isEmpty() const override { return false; }
};

QPalette darkPalette() {
    QPalette dark;
    dark.setColor(QPalette::Window, QColor(0x1E, 0x1E, 0x1E));
    dark.setColor(QPalette::WindowText, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Base, QColor(0x2A, 0x2A, 0x2A));
    dark.setColor(QPalette::AlternateBase, QColor(0x33, 0x33, 0x33));
    dark.setColor(QPalette::Text, QColor(0xEE, 0xEE, 0xEE));
    dark.setColor(QPalette::Button, QColor(0x30, 0x30, 0x30));
    dark.setColor(QPalette::ButtonText, QColor(0xEE, 0xEE, 0xEE));
    return dark;
}

// Far enough apart in lightness to read one on the other.
bool readable(const QColor& text, const QColor& background) {
    return qAbs(text.lightness() - background.lightness()) >= 100;
}

// The columns, in the widget's coordinates, where anything is drawn: its text only, since the
// widget is rendered without its background.
QPair<int, int> inkColumns(QWidget* widget) {
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    int first = -1;
    int last = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (qAlpha(image.pixel(x, y)) > 0) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    return {first, last};
}

// Counts the events of one type a widget receives (paints by default).
class EventCounter : public QObject {
public:
    explicit EventCounter(QWidget* widget, QEvent::Type type = QEvent::Paint)
        : QObject(widget)
        , type_(type) {
        widget->installEventFilter(this);
    }
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == type_)
            ++count;
        return QObject::eventFilter(watched, event);
    }

private:
    QEvent::Type type_;
};

} // namespace

class TestWindowMain : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TestPlatform> tp;
    std::unique_ptr<RecordingBrowser> browser;
    std::unique_ptr<WindowMain> window;
    std::unique_ptr<QtWarnings> warnings; // every test ends without a Qt warning

    template <class Control = QWidget> Control* control(const char* name) {
        auto* found = window->findChild<Control*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    QAction* item(const char* name) { return window->mainMenuBar()->itemNamed(QString::fromLatin1(name)); }
    QMenu* menu(const char* name) { return window->mainMenuBar()->menuNamed(QString::fromLatin1(name)); }
    QString text(const char* name) { return shownText(control(name)); }
    bool shown(const char* name) { return !control(name)->isHidden(); }

    // Bytes arriving from the line, decoded as they arrive, and 10 ms of the line after them.
    void receive(const char* hex) {
        tp->port.feed(hexBytes(hex));
        tp->timeline.advance(10);
    }
    // The window shows what changed within one refresh period (frames right after another
    // change are collected for that long).
    void refreshed() { tp->timeline.advance(RefreshLimiter::kPeriodMs); }
    void plugAndConnect() {
        tp->devices.setNames({QStringLiteral("ttyUSB0")});
        tp->timeline.advance(500); // the port-list tick fills the list and selects the row
        QTest::mouseClick(control<QPushButton>("ConnectButton"), Qt::LeftButton);
        QVERIFY(tp->port.isOpen());
    }
    bool hpuMenuEnabled() {
        return menu("HPUMenu")->isEnabled() && menu("HPUMenu")->menuAction()->isEnabled() &&
               item("HPUEEPROM")->isEnabled();
    }
    bool hpuMenuDisabled() {
        return !menu("HPUMenu")->isEnabled() && !menu("HPUMenu")->menuAction()->isEnabled() &&
               !item("HPUEEPROM")->isEnabled();
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void init() {
        warnings = std::make_unique<QtWarnings>();
        tp = std::make_unique<TestPlatform>();
        browser = std::make_unique<RecordingBrowser>();
        window = std::make_unique<WindowMain>(tp->platform(), *browser);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup() {
        window.reset();
        browser.reset();
        tp.reset();
        QCOMPARE(warnings->taken(), QStringList());
        warnings.reset();
    }

    void windowIsVelmoraWithFixedContent() {
        QCOMPARE(window->windowTitle(), QStringLiteral("Velmora"));
        QCOMPARE(window->content()->size(), QSize(722, 438));
        QCOMPARE(window->layout()->sizeConstraint(), QLayout::SetFixedSize);
        QCOMPARE(window->minimumSize(), window->maximumSize()); // the user cannot resize it
        QVERIFY(window->menuBar() == window->mainMenuBar());
    }

    void controlsAtTheirPlaces_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry"); // window content coordinates
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("visible");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("fontSize"); // pixels; 0: the application font; -1: not checked
        QTest::addColumn<bool>("bold");

        const auto row = [](const char* name, QRect geometry, const QString& text, bool visible, bool enabled,
                            int fontSize, bool bold = false) {
            QTest::newRow(name) << QString::fromLatin1(name) << geometry << text << visible << enabled
                                << fontSize << bold;
        };
        const QString none;
        row("CanvasLogo", {20, 13, 174, 40}, none, true, true, -1);
        row("Label1", {206, 23, 75, 21}, QStringLiteral("Serial Port :"), true, true, 0);
        row("SerialPortsPopupMenu", {288, 22, 235, 20}, QStringLiteral("0 rows"), true, true, 0);
        row("ConnectButton", {535, 22, 98, 20}, QStringLiteral("Connect"), true, false, 0);
        row("CheckBoxLog", {646, 23, 52, 20}, QStringLiteral("Log"), true, false, 0);
        row("TabPanel1", {20, 55, 683, 320}, none, true, true, 0);
        row("Label_Version", {20, 387, 682, 42}, versionText(buildDate()), true, true, 11);

        row("Rect_AlertInputVoltage", {30, 115, 280, 25}, none, true, true, -1);
        row("LabelName_Uin", {35, 116, 185, 24}, QStringLiteral("Hydro Voltage [V]"), true, true, 16);
        row("LabelValue_Uin", {214, 113, 80, 24}, QStringLiteral("00,00"), false, true, 24, true);
        row("LabelName_Uout", {35, 148, 185, 24}, QStringLiteral("Output Voltage [V]"), true, true, 16);
        row("LabelValue_Uout", {214, 145, 80, 24}, QStringLiteral("00,00"), false, true, 24, true);
        row("LabelName_Iout", {35, 180, 185, 24}, QStringLiteral("Output Current [A]"), true, true, 16);
        row("LabelValue_Iout", {214, 177, 80, 24}, QStringLiteral("00,00"), false, true, 24, true);
        row("LabelName_Pout", {35, 212, 185, 24}, QStringLiteral("Output Power [W]"), true, true, 16);
        row("LabelValue_Pout", {214, 209, 80, 24}, QStringLiteral("000"), false, true, 24, true);
        row("Rect_AlertTemp", {30, 243, 280, 25}, none, true, true, -1);
        row("LabelName_T", {35, 244, 185, 24}, QStringLiteral("Converter Temp. [\u00B0C]"), true, true, 16);
        row("LabelValue_T", {214, 241, 80, 24}, QStringLiteral("00,0"), false, true, 24, true);
        row("Rect_AlertRPM", {30, 275, 280, 25}, none, true, true, -1);
        row("LabelName_RPM", {35, 276, 185, 24}, QStringLiteral("RPM"), true, true, 16);
        row("LabelValue_RPM", {214, 273, 80, 24}, QStringLiteral("0000"), false, true, 24, true);
        row("LabelName_Pression", {351, 116, 157, 24}, QStringLiteral("Oil Pressure [Bar]"), false, true, 16);
        row("LabelValue_Pression", {520, 118, 101, 24}, QStringLiteral("0,00"), false, true, 24, true);
        row("LabelName_ModeHPU", {351, 148, 127, 24}, QStringLiteral("Mode"), false, true, 16);
        row("LabelValue_ModeHPU", {457, 150, 164, 24}, QStringLiteral("000000"), false, true, 24, true);
        row("LabelName_Pitch", {351, 180, 157, 24}, QStringLiteral("Pitch correction"), false, true, 16);
        row("LabelValue_Pitch", {457, 182, 164, 24}, QStringLiteral("0"), false, true, 24, true);
        row("CanvasProp", {348, 209, 309, 135}, none, false, true, -1);
        row("ReleaseButton", {511, 209, 90, 22}, QStringLiteral("RELEASE"), false, true, 16);
        row("PompeButton", {611, 209, 90, 22}, QStringLiteral("PUMP"), false, true, 16);

        row("Textfield_timer_emission", {496, 88, 37, 22}, QStringLiteral("150"), true, true, 0);
        row("Label2", {536, 89, 125, 20}, QStringLiteral("timer emission (ms)"), true, true, 0);
        row("TextArea1", {20, 114, 681, 221}, QString(), true, true, 14); // the bus health below it
    }

    void controlsAtTheirPlaces() {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        QFETCH(bool, visible);
        QFETCH(bool, enabled);
        QFETCH(int, fontSize);
        QFETCH(bool, bold);

        QWidget* c = window->findChild<QWidget*>(name);
        QVERIFY2(c, qPrintable(name));
        QCOMPARE(QRect(c->mapTo(window->content(), QPoint()), c->size()), geometry);
        QCOMPARE(shownText(c), text);
        QCOMPARE(!c->isHidden(), visible);
        QCOMPARE(c->isEnabled(), enabled);
        const bool fittedFallback = name.startsWith(QLatin1String("LabelValue_")) &&
                                    QFontInfo(c->font()).family() != QLatin1String("Consolas");
        if (fontSize == 0) {
            QCOMPARE(c->font().pointSizeF(), QApplication::font().pointSizeF());
        } else if (fittedFallback) {
            // Sized to fit its texts (valueTextsClearTheirCaptions), still above the captions' 16.
            QVERIFY(c->font().pixelSize() <= fontSize);
            QVERIFY(c->font().pixelSize() > 16);
        } else if (fontSize > 0) {
            QCOMPARE(c->font().pixelSize(), fontSize);
        }
        if (fontSize != -1)
            QCOMPARE(c->font().bold(), bold);
        if (name.startsWith(QLatin1String("LabelValue_"))) {
            QCOMPARE(c->palette().color(QPalette::WindowText), QColor(0x5A, 0x91, 0xA8));
            QCOMPARE(qobject_cast<QLabel*>(c)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
            QVERIFY(QFontInfo(c->font()).fixedPitch());
        }
    }

    void controlsInsideTheirRectanglesAndCanvas() {
        QCOMPARE(control("LabelName_Uin")->parentWidget(), control("Rect_AlertInputVoltage"));
        QCOMPARE(control("LabelValue_Uin")->parentWidget(), control("Rect_AlertInputVoltage"));
        QCOMPARE(control("LabelName_T")->parentWidget(), control("Rect_AlertTemp"));
        QCOMPARE(control("LabelValue_RPM")->parentWidget(), control("Rect_AlertRPM"));
        QCOMPARE(control("ReleaseButton")->parentWidget(), control("CanvasProp"));
        auto* tabs = control<QTabWidget>("TabPanel1");
        QVERIFY(tabs->widget(0)->isAncestorOf(control("PompeButton")));
        QVERIFY(tabs->widget(1)->isAncestorOf(control("TextArea1")));
    }

    void tabsReadValuesThenRawStream() {
        auto* tabs = control<QTabWidget>("TabPanel1");
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Values"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Raw stream"));
        QCOMPARE(tabs->currentIndex(), 0);
    }

    void versionLabelNamesTheBuild() {
        const QStringList lines = text("Label_Version").split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.at(0).contains(QStringLiteral("   ")));
        QVERIFY(buildDate().isValid());
        QCOMPARE(lines.at(1),
                 QStringLiteral("build : V2.3.3 ") + QLocale().toString(buildDate(), QLocale::ShortFormat));
    }

    void menusWithTheirItems_data() {
        QTest::addColumn<QString>("menuName");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("items");     // names, in order
        QTest::addColumn<QStringList>("texts");     // "-" for a separator
        QTest::addColumn<QStringList>("shortcuts"); // portable text

        QTest::newRow("File") << "FileMenu"
                              << "&File" << QStringList{"FileOpenLog", "FileRecordBus", "FileSeparator1", "FileQuit"}
                              << QStringList{"Open log…", "&Record bus\u2026", "-", "&Quit"}
                              << QStringList{"Ctrl+O", "", "", "Ctrl+Q"};
        QTest::newRow("Edit") << "EditMenu"
                              << "&Edit" << QStringList{"EditUndo",       "EditSeparator1", "EditCut",
                                                        "EditCopy",       "EditPaste",      "EditClear",
                                                        "EditSeparator2", "EditSelectAll",  "EditSeparator3",
                                                        "EditPreferences"}
                              << QStringList{"&Undo",   "-", "Cu&t",        "&Copy", "&Paste",
                                             "&Delete", "-", "Select &All", "-",     "Settings"}
                              << QStringList{"Ctrl+Z", "", "Ctrl+X", "Ctrl+C", "Ctrl+V",
                                             "",       "", "Ctrl+A", "",       ""};
        QTest::newRow("View") << "ViewMenu"
                              << "&View" << QStringList{"ViewTrends"} << QStringList{"Trends"} << QStringList{""};
        QTest::newRow("Alarmes") << "AlarmesMenu"
                                 << "Alarmes" << QStringList{"Alarmes"} << QStringList{"Visual alarms"}
                                 << QStringList{""};
        QTest::newRow("HPU") << "HPUMenu"
                             << "HPU" << QStringList{"HPUEEPROM"} << QStringList{"EEPROM"} << QStringList{""};
    }

    void menusWithTheirItems() {
        QFETCH(QString, menuName);
        QFETCH(QString, title);
        QFETCH(QStringList, items);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, shortcuts);

        QMenu* m = window->mainMenuBar()->menuNamed(menuName);
        QVERIFY(m);
        QCOMPARE(m->title(), title);
        const QList<QAction*> actions = m->actions();
        QCOMPARE(actions.size(), items.size());
        for (int i = 0; i < actions.size(); ++i) {
            QCOMPARE(actions.at(i)->objectName(), items.at(i));
            QCOMPARE(actions.at(i)->isSeparator() ? QStringLiteral("-") : actions.at(i)->text(), texts.at(i));
            QCOMPARE(actions.at(i)->shortcut().toString(QKeySequence::PortableText), shortcuts.at(i));
            QVERIFY(actions.at(i)->isVisible());
        }
    }

    void menusInOrder() {
        QStringList order;
        for (QAction* action : window->mainMenuBar()->actions())
            order.append(action->menu()->objectName());
        QCOMPARE(order, (QStringList{"FileMenu", "EditMenu", "ViewMenu", "AlarmesMenu", "HPUMenu"}));
        QCOMPARE(item("EditPreferences")->menuRole(), QAction::NoRole); // not the platform's preferences
    }

    void quitShortcutFromItsText() {
        QCOMPARE(MainMenuBar::shortcutFromText(QStringLiteral("Cmd+Q")), QKeySequence(Qt::CTRL | Qt::Key_Q));
        QVERIFY(MainMenuBar::shortcutFromText(QString()).isEmpty());
    }

    void hpuMenuFollowsTheConnection() {
        QVERIFY(hpuMenuEnabled()); // before the first connection
        plugAndConnect();
        QVERIFY(hpuMenuEnabled());
        QTest::mouseClick(control<QPushButton>("ConnectButton"), Qt::LeftButton); // disconnect
        QVERIFY(!tp->port.isOpen());
        QVERIFY(hpuMenuDisabled());
        QTest::mouseClick(control<QPushButton>("ConnectButton"), Qt::LeftButton); // connect again
        QVERIFY(tp->port.isOpen());
        QVERIFY(hpuMenuEnabled());
    }

    void deviceListAndToggle() {
        tp->devices.setNames({QStringLiteral("ttyS0"), QStringLiteral("ttyUSB0")});
        tp->timeline.advance(500);
        auto* list = control<QComboBox>("SerialPortsPopupMenu");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->currentIndex(), 1); // a device added: the last row
        QVERIFY(control("ConnectButton")->isEnabled());

        list->setCurrentIndex(0); // the user's choice reaches the monitor
        QCOMPARE(window->monitor().controls().SerialPortsPopupMenu_selected, 0);
        QTest::mouseClick(control<QPushButton>("ConnectButton"), Qt::LeftButton);
        QCOMPARE(tp->port.openedDevice.name, QStringLiteral("ttyS0"));
        QCOMPARE(text("ConnectButton"), QStringLiteral("Disconnect"));
        QVERIFY(!list->isEnabled());
        QVERIFY(control("CheckBoxLog")->isEnabled());
    }

    void returnKeyPressesConnect() {
        tp->devices.setNames({QStringLiteral("ttyUSB0")});
        tp->timeline.advance(500);
        QTest::keyClick(window.get(), Qt::Key_Return);
        QVERIFY(tp->port.isOpen());
        QCOMPARE(text("ConnectButton"), QStringLiteral("Disconnect"));
    }

    void userInputReachesTheMonitor() {
        plugAndConnect();
        auto* log = control<QCheckBox>("CheckBoxLog");
        QTest::mouseClick(log, Qt::LeftButton, {}, QPoint(8, log->height() / 2));
        QCOMPARE(window->monitor().controls().CheckBoxLog_checked, false);

        auto* tabs = control<QTabWidget>("TabPanel1");
        tabs->setCurrentIndex(1);
        QCOMPARE(window->monitor().controls().rawStreamPageSelected, true);
        auto* delay = control<QLineEdit>("Textfield_timer_emission");
        delay->selectAll();
        QTest::keyClicks(delay, QStringLiteral("200"));
        QCOMPARE(window->monitor().controls().Textfield_timer_emission, QStringLiteral("200"));
        tabs->setCurrentIndex(0);
        QCOMPARE(window->monitor().controls().rawStreamPageSelected, false);
    }

    void converterFrameShowsItsValues() {
        plugAndConnect();
        receive(kConverterFrame);
        refreshed();
        QCOMPARE(text("LabelValue_Uin"), QStringLiteral("48.00"));
        QCOMPARE(text("LabelValue_Uout"), QStringLiteral("24.00"));
        QCOMPARE(text("LabelValue_Iout"), QStringLiteral("2.50"));
        QCOMPARE(text("LabelValue_Pout"), QStringLiteral("060"));
        QCOMPARE(text("LabelValue_T"), QStringLiteral("35.00"));
        QCOMPARE(text("LabelValue_RPM"), QStringLiteral("1500"));
        QVERIFY(!shown("LabelValue_Pression")); // no HPU yet
    }

    // On a busy line the labels follow at most once a refresh period once the refresh budget is
    // spent, and show the latest frame; after a quiet moment the next frames show at once.
    void busyLineRefreshesOncePerPeriod() {
        plugAndConnect();
        tp->timeline.advance(RefreshLimiter::kBurst * RefreshLimiter::kPeriodMs); // a quiet moment
        receive(kConverterFrame); // first change after it
        QCOMPARE(text("LabelValue_Uin"), QStringLiteral("48.00"));
        receive(kAlertingConverterFrame); // the budget's second refresh
        QCOMPARE(text("LabelValue_Uin"), QStringLiteral("60.00"));
        receive(kConverterFrame);
        receive(kAlertingConverterFrame);
        receive(kConverterFrame);
        QCOMPARE(text("LabelValue_Uin"), QStringLiteral("60.00")); // collected
        tp->timeline.advance(RefreshLimiter::kPeriodMs - 30);
        QCOMPARE(text("LabelValue_Uin"), QStringLiteral("48.00")); // the latest, within one period

        // The user's press shows at once, even inside a period.
        receive(kConverterFrame);
        QTest::mouseClick(control<QPushButton>("ConnectButton"), Qt::LeftButton);
        QCOMPARE(text("ConnectButton"), QStringLiteral("Connect"));
    }

    void hpuFrameShowsRowsGaugeAndButtons() {
        plugAndConnect();
        receive(kHpuFrame);
        refreshed();
        for (const char* name :
             {"LabelName_Pression", "LabelValue_Pression", "LabelName_ModeHPU", "LabelValue_ModeHPU",
              "LabelName_Pitch", "LabelValue_Pitch", "CanvasProp", "PompeButton", "ReleaseButton"})
            QVERIFY2(shown(name), name);
        QVERIFY(control("ReleaseButton")->isVisible()); // its canvas shows too
        QCOMPARE(text("LabelValue_Pression"), QStringLiteral("5.00"));
        QCOMPARE(text("LabelValue_ModeHPU"), QStringLiteral("Auto"));
        QCOMPARE(text("LabelValue_Pitch"), QStringLiteral("pump active"));
        QCOMPARE(text("PompeButton"), QStringLiteral("PUMP"));
        QCOMPARE(text("ReleaseButton"), QStringLiteral("RELEASE"));

        // The gauge repaints from the new pressure: each paint moves the angle on.
        const double before = window->monitor().state().filtered_alpha;
        control("CanvasProp")->repaint();
        QVERIFY(window->monitor().state().filtered_alpha != before);
    }

    void alertingFrameTurnsTheRectangleRed() {
        plugAndConnect();
        tp->timeline.advance(200); // TimerAlarm clears the design-time fills
        auto* inputVoltage = control<AlertRectangle>("Rect_AlertInputVoltage");
        QCOMPARE(inputVoltage->fill(), AlertFill::Transparent);

        receive(kAlertingConverterFrame);
        QCOMPARE(inputVoltage->fill(), AlertFill::AlertRed);
        QCOMPARE(control<AlertRectangle>("Rect_AlertTemp")->fill(), AlertFill::Transparent);
        QCOMPARE(control<AlertRectangle>("Rect_AlertRPM")->fill(), AlertFill::Transparent);
        const QImage painted = inputVoltage->grab().toImage();
        QCOMPARE(painted.pixelColor(painted.width() - 3, painted.height() - 3), QColor(0xFB, 0x01, 0x06));

        tp->timeline.advance(200);
        QCOMPARE(inputVoltage->fill(), AlertFill::Transparent);
    }

    void pumpPressIsWrittenAfterTheNextConverterFrame() {
        plugAndConnect();
        receive(kHpuFrame);
        QTest::mouseClick(control<QPushButton>("PompeButton"), Qt::LeftButton);
        tp->timeline.advance(500);
        QVERIFY(tp->port.writes.isEmpty()); // no converter frame, nothing sent

        tp->port.feed(hexBytes(kConverterFrame)); // the quiet gap is timed from its last byte
        tp->timeline.advance(149);
        QVERIFY(tp->port.writes.isEmpty());
        tp->timeline.advance(1);
        QCOMPARE(tp->port.writes.size(), 1);
        QCOMPARE(hexString(tp->port.writes.first()), QString::fromLatin1(kPumpCommand));
    }

    void rawStreamPageShowsTheTrace() {
        plugAndConnect();
        control<QTabWidget>("TabPanel1")->setCurrentIndex(1);
        receive(kConverterFrame);
        refreshed();
        const QString trace = window->monitor().trace().text();
        QVERIFY(!trace.isEmpty());
        QCOMPARE(text("TextArea1"), trace);
    }

    void failedOpeningIsTold() {
        tp->devices.setNames({QStringLiteral("ttyUSB0")});
        tp->timeline.advance(500);
        tp->port.failOpen = true;
        QTest::mouseClick(control<QPushButton>("ConnectButton"), Qt::LeftButton);
        QCOMPARE(tp->notifier.messages,
                 QStringList{QStringLiteral("The serial connection could not be opened.")});
        QCOMPARE(text("ConnectButton"), QStringLiteral("Connect"));
        QVERIFY(control("SerialPortsPopupMenu")->isEnabled());
        QVERIFY(!control("CheckBoxLog")->isEnabled());
    }

    void twelfthErrorReturnsToDisconnected() {
        plugAndConnect();
        // A port that fails again as soon as it is reopened (here reopened at once, faster than
        // the once-a-second reconnection): each error closes it.
        const auto failAgain = [this] {
            if (!tp->port.isOpen())
                tp->port.open(tp->port.openedDevice);
            tp->port.raiseError();
        };
        for (int error = 1; error <= 11; ++error)
            failAgain();
        QVERIFY(tp->notifier.messages.isEmpty());
        QCOMPARE(text("ConnectButton"), QStringLiteral("Disconnect")); // errors 1 to 11 only close the port

        failAgain();
        QCOMPARE(tp->notifier.messages, QStringList{QStringLiteral("A serial port error occurred.")});
        refreshed();
        QCOMPARE(text("ConnectButton"), QStringLiteral("Connect"));
        QVERIFY(control("SerialPortsPopupMenu")->isEnabled());
        QVERIFY(!control("CheckBoxLog")->isEnabled());
        QVERIFY(hpuMenuDisabled());
    }

    void driverLink() {
        auto* link = control<QLabel>("Label1");
        const QColor black(Qt::black);
        const QColor main(0x5A, 0x91, 0xA8);
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QEvent leave(QEvent::Leave);

        QApplication::sendEvent(link, &enter);
        QCOMPARE(link->text(), QStringLiteral("Drivers\u2026"));
        QCOMPARE(link->palette().color(QPalette::WindowText), main);
        QApplication::sendEvent(link, &leave);
        QCOMPARE(link->text(), QStringLiteral("Serial Port :"));
        QCOMPARE(link->palette().color(QPalette::WindowText), black);
        QCOMPARE(link->toolTip(), App::text(App::Caption::kSerialPortTip));

        plugAndConnect();
        QApplication::sendEvent(link, &enter); // connected: no hover text
        QCOMPARE(link->text(), QStringLiteral("Serial Port :"));
        QTest::mouseClick(link, Qt::LeftButton); // yet a press still opens the page
        QCOMPARE(browser->opened,
                 QList<QUrl>{QUrl(QStringLiteral("https://ftdichip.com/drivers/vcp-drivers/"))});
    }

    void logoKeepsItsProportions_data() {
        QTest::addColumn<QSizeF>("picture");
        QTest::addColumn<QRectF>("drawn");
        QTest::newRow("taller: scaled by height, centred") << QSizeF(100, 100) << QRectF(67, 0, 40, 40);
        QTest::newRow("wider: scaled by width, full width") << QSizeF(696, 100) << QRectF(0, 0, 174, 25);
        QTest::newRow("no picture: nothing drawn") << QSizeF(0, 0) << QRectF();
    }

    void logoKeepsItsProportions() {
        QFETCH(QSizeF, picture);
        QFETCH(QRectF, drawn);
        QCOMPARE(CanvasLogo::logoRect(QSizeF(174, 40), picture), drawn);
    }

    void modalWindowLeavesTheLinkRunning() {
        plugAndConnect();
        bool updatedWhileOpen = false;
        bool dialogWasModal = false;
        SecondaryWindows windows;
        windows.alarms = [&](Monitor&, QWidget* parent) {
            auto dialog = std::make_unique<QDialog>(parent);
            QDialog* shown = dialog.get();
            QTimer::singleShot(0, shown, [&, shown] {
                dialogWasModal = shown->isModal() || shown->windowModality() != Qt::NonModal;
                receive(kConverterFrame);
                refreshed();
                updatedWhileOpen = text("LabelValue_Uin") == QStringLiteral("48.00");
                shown->accept();
            });
            return dialog;
        };
        window->setSecondaryWindows(windows);
        item("Alarmes")->trigger(); // returns once the window has been closed
        QVERIFY(dialogWasModal);
        QVERIFY(updatedWhileOpen);
        QVERIFY(window->showPreferencesWindow() == false); // not plugged in: the item does nothing
    }

    // Where "Consolas" is missing (here: the fonts installed on this machine, on the headless
    // platform) the fallback is wider; each value label then takes a size at which the longest
    // text it can show fits its width and stays clear of its caption.
    void valueTextsClearTheirCaptions_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("texts");
        const auto row = [](const char* value, const char* caption, const QStringList& texts) {
            QTest::newRow(value) << QString::fromLatin1(value) << QString::fromLatin1(caption) << texts;
        };
        row("LabelValue_Uin", "LabelName_Uin", {"48.00", "120.50", "-1.00"});
        row("LabelValue_Uout", "LabelName_Uout", {"24.00", "34.99", "-1.00"});
        row("LabelValue_Iout", "LabelName_Iout", {"2.50", "120.50", "-1.00"});
        row("LabelValue_Pout", "LabelName_Pout", {"060", "3500", "001"});
        row("LabelValue_T", "LabelName_T", {"35.00", "105.30", "-1.00"});
        row("LabelValue_RPM", "LabelName_RPM", {"1500", "12000", "-1"});
        row("LabelValue_Pression", "LabelName_Pression", {"5.00", "100.00"});
        row("LabelValue_ModeHPU", "LabelName_ModeHPU", {"Manuel", "Auto"});
        row("LabelValue_Pitch", "LabelName_Pitch", {"pump active", "inactive", "release"});
    }

    void valueTextsClearTheirCaptions() {
        QFETCH(QString, value);
        QFETCH(QString, caption);
        QFETCH(QStringList, texts);

        plugAndConnect();
        receive(kConverterFrame); // the converter rows show
        receive(kHpuFrame);       // the HPU rows show
        refreshed();
        auto* valueLabel = window->findChild<QLabel*>(value);
        auto* captionLabel = window->findChild<QLabel*>(caption);
        QVERIFY(valueLabel && captionLabel);
        QVERIFY(valueLabel->isVisible() && captionLabel->isVisible());
        if (QFontInfo(valueLabel->font()).family() != QLatin1String("Consolas"))
            qInfo("%s: %s, %d px", qPrintable(value), qPrintable(QFontInfo(valueLabel->font()).family()),
                  valueLabel->font().pixelSize());

        const QPair<int, int> captionInk = inkColumns(captionLabel);
        QVERIFY(captionInk.first >= 0);
        const int captionInkEnd = captionLabel->mapTo(window->content(), QPoint(captionInk.second, 0)).x();
        for (const QString& text : texts) {
            valueLabel->setText(text);
            QVERIFY2(QFontMetrics(valueLabel->font()).horizontalAdvance(text) <= valueLabel->width(),
                     qPrintable(text));
            const QPair<int, int> valueInk = inkColumns(valueLabel);
            QVERIFY2(valueInk.first > 0,
                     qPrintable(text + QStringLiteral(" is cut at the label's left edge")));
            const int valueInkStart = valueLabel->mapTo(window->content(), QPoint(valueInk.first, 0)).x();
            QVERIFY2(valueInkStart > captionInkEnd,
                     qPrintable(QStringLiteral("%1 starts at %2, its caption ends at %3")
                                    .arg(text)
                                    .arg(valueInkStart)
                                    .arg(captionInkEnd)));
        }
        QVERIFY(QFontInfo(valueLabel->font()).fixedPitch());
        QVERIFY(valueLabel->font().bold());
    }

    // A dark appearance, chosen before the window opens or while it is open: the emission
    // delay field keeps black text on its white background, and "Serial Port :" takes the
    // appearance's text colour, readable on the window's background.
    void darkAppearanceKeepsTextsReadable_data() {
        QTest::addColumn<bool>("whileOpen");
        QTest::newRow("dark before opening") << false;
        QTest::newRow("dark while open") << true;
    }

    void darkAppearanceKeepsTextsReadable() {
        QFETCH(bool, whileOpen);
        const QPalette light = QApplication::palette();
        const auto restore = qScopeGuard([&] { QApplication::setPalette(light); });
        if (whileOpen) {
            QApplication::setPalette(darkPalette());
            QCoreApplication::processEvents(); // the change reaches open windows through the event loop
        } else {
            window.reset();
            QApplication::setPalette(darkPalette());
            window = std::make_unique<WindowMain>(tp->platform(), *browser);
            window->show();
            QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        }
        control<QTabWidget>("TabPanel1")->setCurrentIndex(1);

        auto* delay = control<QLineEdit>("Textfield_timer_emission");
        QCOMPARE(delay->palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(delay->palette().color(QPalette::Text), QColor(Qt::black));
        // The digits are drawn: dark pixels inside the field, away from its frame.
        const QImage field = delay->grab().toImage();
        int darkPixels = 0;
        for (int x = 4; x < field.width() - 4; ++x)
            for (int y = 4; y < field.height() - 4; ++y)
                darkPixels += field.pixelColor(x, y).lightness() < 100 ? 1 : 0;
        QVERIFY(darkPixels > 10);

        auto* serialPort = control<QLabel>("Label1");
        const QColor background = window->content()->palette().color(QPalette::Window);
        QCOMPARE(background, darkPalette().color(QPalette::Window));
        QVERIFY(readable(serialPort->palette().color(QPalette::WindowText), background));
        QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(serialPort, &enter);
        QCOMPARE(serialPort->palette().color(QPalette::WindowText), QColor(0x5A, 0x91, 0xA8));
        QApplication::sendEvent(serialPort, &leave);
        QCOMPARE(serialPort->text(), QStringLiteral("Serial Port :"));
        QVERIFY(readable(serialPort->palette().color(QPalette::WindowText), background));
    }

    // The values page paints a copy of the tab pane beneath it, in a light and a dark
    // appearance: it looks as the transparent page did, and a changed value repaints the
    // label and the page without the tab widget under them.
    void valuesPageRepaintsWithoutThePaneBeneath_data() {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light") << false;
        QTest::newRow("dark while open") << true;
    }
    void valuesPageRepaintsWithoutThePaneBeneath() {
        QFETCH(bool, dark);
        const QPalette light = QApplication::palette();
        const auto restore = qScopeGuard([&] { QApplication::setPalette(light); });
        if (dark) {
            QApplication::setPalette(darkPalette());
            QCoreApplication::processEvents();
        }
        auto* page = control("ValuesPage");
        QVERIFY(page->autoFillBackground());
        QVERIFY(page->palette().brush(QPalette::Window).isOpaque());
        // The gauge tells the appearance from the page's window colour.
        QCOMPARE(page->palette().color(QPalette::Window).lightness() < 128, dark);

        plugAndConnect();
        receive(kConverterFrame);
        refreshed();
        QCoreApplication::processEvents();
        const QImage withCopy = window->grab().toImage();
        page->setAutoFillBackground(false);
        const QImage transparent = window->grab().toImage();
        page->setAutoFillBackground(true);
        QCOMPARE(withCopy, transparent);
        QCoreApplication::processEvents(); // the repaint the switches above asked for

        auto* tabs = new EventCounter(control("TabPanel1"));
        auto* label = new EventCounter(control("LabelValue_Uin"));
        auto* unchanged = new EventCounter(control("LabelValue_Iout"));
        // Fixed-size labels: a new text asks the page for no layout pass.
        auto* layoutRequests = new EventCounter(page, QEvent::LayoutRequest);
        receive(kAlertingConverterFrame);
        refreshed();
        QCoreApplication::processEvents(); // the window's update request
        QCOMPARE(text("LabelValue_Uin"), QStringLiteral("60.00"));
        QVERIFY(label->count > 0);
        QCOMPARE(unchanged->count, 0);
        QCOMPARE(tabs->count, 0);
        QCOMPARE(layoutRequests->count, 0);

        // A transparent page would have the pane repainted under the label.
        page->setAutoFillBackground(false);
        receive(kConverterFrame);
        refreshed();
        QCoreApplication::processEvents();
        QCOMPARE(text("LabelValue_Uin"), QStringLiteral("48.00"));
        QVERIFY(tabs->count > 0);
    }

    // A frame that brings the values already shown repaints nothing anywhere in the window; the
    // next one that changes a value repaints that value.
    void unchangedFrameRepaintsNothing() {
        plugAndConnect();
        receive(kConverterFrame);
        refreshed();
        QCoreApplication::processEvents();
        QList<EventCounter*> paints{new EventCounter(window.get())};
        for (QWidget* widget : window->findChildren<QWidget*>())
            paints.append(new EventCounter(widget));
        const auto painted = [&paints] {
            QStringList names;
            for (const EventCounter* counter : std::as_const(paints))
                if (counter->count > 0)
                    names.append(counter->parent()->objectName());
            return names;
        };

        for (int i = 0; i < 3; ++i) {
            receive(kConverterFrame);
            refreshed();
            QCoreApplication::processEvents();
        }
        QCOMPARE(painted(), QStringList());

        receive(kAlertingConverterFrame);
        refreshed();
        QCoreApplication::processEvents();
        QVERIFY2(painted().contains(QStringLiteral("LabelValue_Uin")), qPrintable(painted().join(QLatin1Char(' '))));
    }

    // Edit > Delete on the emission delay field removes what is selected, and nothing when
    // nothing is.
    void editDeleteClearsTheSelectionOnly() {
        control<QTabWidget>("TabPanel1")->setCurrentIndex(1);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        auto* delay = control<QLineEdit>("Textfield_timer_emission");
        delay->setFocus();
        QTRY_VERIFY(delay->hasFocus());

        delay->setCursorPosition(0);
        item("EditClear")->trigger();
        QCOMPARE(delay->text(), QStringLiteral("150"));
        QCOMPARE(delay->cursorPosition(), 0);

        delay->setSelection(1, 1); // the 5
        item("EditClear")->trigger();
        QCOMPARE(delay->text(), QStringLiteral("10"));
        QCOMPARE(window->monitor().controls().Textfield_timer_emission, QStringLiteral("10"));
    }

    void connectCaptionGoesThroughTheCaptionLookup() {
        ConnectTranslator translator;
        QVERIFY(QCoreApplication::installTranslator(&translator));
        const auto remove = qScopeGuard([&] { QCoreApplication::removeTranslator(&translator); });
        window.reset();
        window = std::make_unique<WindowMain>(tp->platform(), *browser);
        QCOMPARE(text("ConnectButton"), QStringLiteral("Verbinden"));
        QCOMPARE(window->monitor().controls().ConnectButton.caption, QStringLiteral("Verbinden"));
    }

    void quitClosesThePort() {
        plugAndConnect();
        item("FileQuit")->trigger();
        QVERIFY(!window->isVisible());
        QVERIFY(!tp->port.isOpen());
    }
};

QTEST_MAIN(TestWindowMain)
#include "tst_windowmain.moc"
