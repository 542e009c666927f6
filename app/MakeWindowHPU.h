#pragma once

#include <memory>

class Monitor;
class QDialog;
class QWidget;

// HPU > EEPROM: "HPU EEPROM" on the main window's link (the one Monitor), asking its
// questions in message boxes. The caller shows it modally; the main window's timers and
// serial events keep running and carry the exchange. Backups go to the log folder.
std::unique_ptr<QDialog> makeWindowHPU(Monitor& monitor, QWidget* parent);
