#pragma once

#include "core/ControlsState.h"
#include "core/Notifier.h"
#include "core/SerialPort.h"
#include "core/Timer.h"

#include <QString>

// The name a serial device shows in the device list: the system's own name, unchanged.
QString GetSerialPortFriendlyName(const QString& systemName);

// The top row of the main window: the device list kept in step with the devices present
// while disconnected, and the ConnectButton toggle that opens and closes SerialConnection1.
// There is no connection flag: the link is connected exactly while the device list is
// disabled, and the button's caption and PortListUpdater follow that state.
class PortSelection {
public:
    static const QString kOpenFailedMessage; // "The serial connection could not be opened."

    PortSelection(ControlsState& controls, const SerialDeviceList& devices, SerialPort& port,
                  Timer& portListUpdater, Notifier& notifier)
        : controls_(controls)
        , devices_(devices)
        , port_(port)
        , portListUpdater_(portListUpdater)
        , notifier_(notifier) {}

    bool isConnected() const { return !controls_.SerialPortsPopupMenu_enabled; }

    // Every 500 ms while disconnected: the list is rebuilt when the devices' names differ
    // from the rows. An added device is selected (last row); otherwise the selected device
    // stays selected while it is present; an adapter swapped for another gives way to the
    // new one; a removal of the selected device selects the first row.
    void PortListUpdater_Action();
    // The selected row changed (by the user or a rebuild): ConnectButton is usable exactly
    // while a row is selected.
    void SerialPortsPopupMenu_SelectionChanged(int index);
    // Connect when disconnected, disconnect when connected.
    void ConnectButton_Action();

private:
    void connectPort();
    void disconnectPort();
    static int firstNewName(const QStringList& names, const QStringList& oldRows);

    ControlsState& controls_;
    const SerialDeviceList& devices_;
    SerialPort& port_;
    Timer& portListUpdater_;
    Notifier& notifier_;
};
