#include "link/PortSelection.h"

QString GetSerialPortFriendlyName(const QString& systemName) {
    return systemName;
}

QStringList PortSelection::presentNames() const {
    const QVector<SerialDevice> present = devices_.devices();
    QStringList names;
    names.reserve(present.size());
    for (const SerialDevice& device : present)
        names.append(GetSerialPortFriendlyName(device.name));
    return names;
}

bool PortSelection::PortListUpdater_Action() {
    const QStringList names = presentNames();
    // Names, not only counts: an adapter swapped for another between two ticks must not leave
    // a row naming a device that is gone.
    if (names == rows_)
        return false;

    const QString selectedName = rows_.value(selected_);
    int selected = -1;
    if (!names.isEmpty()) {
        if (names.size() > rows_.size())
            selected = int(names.size()) - 1; // a device was plugged in: the new one
        else if (names.contains(selectedName))
            selected = int(names.indexOf(selectedName)); // the chosen device is still there
        else if (names.size() == rows_.size())
            selected = firstNewName(names, rows_); // swapped: the device that came in
        else
            selected = 0; // the chosen device went away
    }
    rows_ = names;
    SerialPortsPopupMenu_SelectionChanged(selected);
    return true;
}

int PortSelection::firstNewName(const QStringList& names, const QStringList& oldRows) {
    for (int i = 0; i < names.size(); ++i)
        if (!oldRows.contains(names[i]))
            return i;
    return 0;
}

void PortSelection::SerialPortsPopupMenu_SelectionChanged(int index) {
    if (index < -1 || index >= rows_.size())
        index = -1;
    selected_ = index;
}
