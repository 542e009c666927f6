#pragma once

#include "core/SerialPort.h"

#include <QString>
#include <QStringList>

// The name a serial device shows in the device list: the system's own name, unchanged.
QString GetSerialPortFriendlyName(const QString& systemName);

// The device list of the main window's top row, kept in step with the devices present while
// disconnected, and the row chosen in it.
class PortSelection {
public:
    explicit PortSelection(const SerialDeviceList& devices)
        : devices_(devices) {}

    // The devices present now, by the names the list shows.
    QStringList presentNames() const;

    // Every 500 ms while disconnected: the list is rebuilt when the devices' names differ
    // from the rows. An added device is selected (last row); otherwise the selected device
    // stays selected while it is present; an adapter swapped for another gives way to the
    // new one; a removal of the selected device selects the first row. True when the rows
    // or the selection changed.
    bool PortListUpdater_Action();
    // The selected row changed (by the user or a rebuild); -1: none.
    void SerialPortsPopupMenu_SelectionChanged(int index);

    const QStringList& rows() const { return rows_; }
    int selected() const { return selected_; }
    QString selectedName() const { return rows_.value(selected_); }

private:
    static int firstNewName(const QStringList& names, const QStringList& oldRows);

    const SerialDeviceList& devices_;
    QStringList rows_;
    int selected_ = -1;
};
