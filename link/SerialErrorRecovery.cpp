#include "link/SerialErrorRecovery.h"

// In English; the message box shows it in the user's language.
const QString SerialErrorRecovery::kErrorMessage =
    QString::fromUtf8(QT_TRANSLATE_NOOP("Messages", "A serial port error occurred."));

void SerialErrorRecovery::SerialConnection1_Error() {
    if (state_.serial_count_errors > kErrorsBeforeMessage) {
        notifier_.beep();
        port_.close();
        notifier_.showMessage(kErrorMessage); // modal: timers and port events still run
        // As if the user pressed Disconnect: the controls return to their disconnected
        // state and the device list refreshes again. A window already disconnected stays so.
        if (ports_.isConnected())
            ports_.ConnectButton_Action();
        state_.serial_count_errors = 0;
        return;
    }
    // The window keeps showing "Disconnect" until the user presses it.
    ++state_.serial_count_errors;
    port_.close();
}
