#pragma once

#include "core/Captions.h"

#include <QString>
#include <QStringList>

// What the main window's live controls show, kept by the core so that every behaviour can
// be checked without widgets. The window copies it onto its controls after each change
// and forwards the user's actions back. The value and alarm part is computed by the monitor
// alone (monitor/ShownControls) from the readings and the alarm states; nothing reads it back
// to learn whether a value is known or an alarm held.
struct LabelState {
    QString text;
    bool visible = true;
};

struct ButtonState {
    QString caption;
    bool visible = true;
    bool enabled = true;
};

// Alert rectangle fills: design-time red or dark red until TimerAlarm first fires.
enum class AlertFill { Transparent, AlertRed, DarkRed };

struct ControlsState {
    // Values page, converter rows (texts written with the decimal comma at design time):
    // hidden until the converter's first frame, for nothing is known of it before
    LabelState LabelValue_Uin{QStringLiteral("00,00"), false};
    LabelState LabelValue_Uout{QStringLiteral("00,00"), false};
    LabelState LabelValue_Iout{QStringLiteral("00,00"), false};
    LabelState LabelValue_Pout{QStringLiteral("000"), false};
    LabelState LabelValue_T{QStringLiteral("00,0"), false};
    LabelState LabelValue_RPM{QStringLiteral("0000"), false};

    // Values page, HPU rows: hidden until the HPU answers
    LabelState LabelValue_Pression{QStringLiteral("0,00"), false};
    LabelState LabelValue_ModeHPU{QStringLiteral("000000"), false};
    LabelState LabelValue_Pitch{QStringLiteral("0"), false};
    bool LabelName_Pression_visible = false;
    bool LabelName_ModeHPU_visible = false;
    bool LabelName_Pitch_visible = false;
    bool CanvasProp_visible = false;
    ButtonState PompeButton{App::text(App::Caption::kPump), false};
    ButtonState ReleaseButton{App::text(App::Caption::kRelease), false};

    AlertFill Rect_AlertInputVoltage = AlertFill::AlertRed;
    AlertFill Rect_AlertRPM = AlertFill::DarkRed;
    AlertFill Rect_AlertTemp = AlertFill::DarkRed;

    // Raw-stream page
    QString Textfield_timer_emission = QStringLiteral("150");
    bool rawStreamPageSelected = false; // TabPanel1 shows its second page (the monitor tells the link)

    // Connection row
    QStringList SerialPortsPopupMenu_rows;
    int SerialPortsPopupMenu_selected = -1;
    bool SerialPortsPopupMenu_enabled = true; // disabled exactly while connected
    ButtonState ConnectButton{App::text(App::Caption::kConnectCaption), true, false};
    bool CheckBoxLog_checked = true;
    bool CheckBoxLog_enabled = false;
    bool HPUMenu_enabled = true; // HPUMenu and its item HPUEEPROM

    // Both pages: "Connection lost – reconnecting to <device>…" while a lost link is being
    // reopened, with any command still waiting; empty while the link is fine.
    QString connectionLine;
    // Raw-stream page: the bus health since the last Connect, refreshed once a second.
    QString busHealthText;
};
