#include "link/PortSelection.h"

#include "core/Captions.h"

// In English; the message box shows it in the user's language.
const QString PortSelection::kOpenFailedMessage =
    QString::fromUtf8(QT_TRANSLATE_NOOP("Messages", "The serial connection could not be opened."));

QString GetSerialPortFriendlyName(const QString& systemName) {
    return systemName;
}

void PortSelection::PortListUpdater_Action() {
    const QVector<SerialDevice> present = devices_.devices();
    QStringList names;
    names.reserve(present.size());
    for (const SerialDevice& device : present)
        names.append(GetSerialPortFriendlyName(device.name));
    const QStringList& rows = controls_.SerialPortsPopupMenu_rows;
    // Names, not only counts: an adapter swapped for another between two ticks must not leave
    // a row naming a device that is gone.
    if (names == rows)
        return;

    const QString selectedName = rows.value(controls_.SerialPortsPopupMenu_selected);
    int selected = -1;
    if (!names.isEmpty()) {
        if (names.size() > rows.size())
            selected = int(names.size()) - 1; // a device was plugged in: the new one
        else if (names.contains(selectedName))
            selected = int(names.indexOf(selectedName)); // the chosen device is still there
        else if (names.size() == rows.size())
            selected = firstNewName(names, rows); // swapped: the device that came in
        else
            selected = 0; // the chosen device went away
    }
    controls_.SerialPortsPopupMenu_rows = names;
    SerialPortsPopupMenu_SelectionChanged(selected);
}

int PortSelection::firstNewName(const QStringList& names, const QStringList& oldRows) {
    for (int i = 0; i < names.size(); ++i)
        if (!oldRows.contains(names[i]))
            return i;
    return 0;
}

void PortSelection::SerialPortsPopupMenu_SelectionChanged(int index) {
    if (index < -1 || index >= controls_.SerialPortsPopupMenu_rows.size())
        index = -1;
    controls_.SerialPortsPopupMenu_selected = index;
    controls_.ConnectButton.enabled = index >= 0;
}

void PortSelection::ConnectButton_Action() {
    if (isConnected())
        disconnectPort();
    else
        connectPort();
}

void PortSelection::connectPort() {
    // A row index is a device index of the last enumeration. A device unplugged after the
    // last refresh leaves a row that names no present device: that press cannot open it.
    const int row = controls_.SerialPortsPopupMenu_selected;
    const QVector<SerialDevice> present = devices_.devices();
    const bool rowStillPresent =
        row >= 0 && row < present.size() && row < controls_.SerialPortsPopupMenu_rows.size() &&
        GetSerialPortFriendlyName(present[row].name) == controls_.SerialPortsPopupMenu_rows[row];
    if (!rowStillPresent || !port_.open(present[row])) {
        notifier_.showMessage(kOpenFailedMessage);
        return; // still disconnected, the list still refreshing
    }
    controls_.ConnectButton.caption = App::text(App::Caption::kUnconnectCaption);
    controls_.SerialPortsPopupMenu_enabled = false;
    controls_.CheckBoxLog_enabled = true;
    portListUpdater_.setMode(Timer::Off);
    controls_.HPUMenu_enabled = true;
}

void PortSelection::disconnectPort() {
    port_.close();
    controls_.ConnectButton.caption = App::text(App::Caption::kConnectCaption);
    controls_.CheckBoxLog_enabled = false; // its tick is left as the user set it
    controls_.SerialPortsPopupMenu_enabled = true;
    portListUpdater_.setMode(Timer::Repeating);
    controls_.HPUMenu_enabled = false;
}
