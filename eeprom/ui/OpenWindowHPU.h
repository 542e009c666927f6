#pragma once

class Monitor;
class QWidget;

// HPU > EEPROM: shows "HPU EEPROM" modally over the main window, on the main window's
// link (its timers and serial events keep running), and discards it when closed.
void openWindowHPU(Monitor& monitor, QWidget* parent);
