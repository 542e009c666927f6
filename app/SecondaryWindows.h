#pragma once

#include <QDialog>

#include <functional>
#include <memory>

class Monitor;

// The windows that the menus show modally. Each is built when its menu item is chosen,
// shown with QDialog::exec() (the main window's timers and serial events keep running
// meanwhile) and discarded when closed. A window reaches the one monitor state through
// the Monitor it is given.
using ModalWindowFactory = std::function<std::unique_ptr<QDialog>(Monitor& monitor, QWidget* parent)>;

struct SecondaryWindows {
    ModalWindowFactory alarms;      // Alarmes: WindowAlarms
    ModalWindowFactory preferences; // EditPreferences: WindowPreferences
    ModalWindowFactory hpuEeprom;   // HPUEEPROM: WindowHPU
};

// The application's windows. A window that does not exist yet is an empty factory: its
// menu item then does nothing. This is the one place where a new secondary window is
// plugged in.
SecondaryWindows applicationSecondaryWindows();
