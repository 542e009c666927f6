#pragma once

#include <QDialog>

class AlarmSettingsStore;
class QPushButton;
class QTableWidget;
class ReturnOnlyDelegate;

// WindowAlarms, "Visual alarms": the six alarm settings in a two-column list, captions on
// the left and editable values on the right. Opening reads the settings file so the list
// shows what is stored. A value typed into a cell is taken when Return or Enter hands it
// over and it is a number; otherwise the cell keeps its previous value, and a text that is
// not a number is told to the user. Closing, by OK or the close box, stores the six values
// shown (always numbers) and writes the file. There is no cancel.
class WindowAlarms : public QDialog {
    Q_OBJECT
public:
    static constexpr int kRows = 6;

    explicit WindowAlarms(AlarmSettingsStore& settings, QWidget* parent = nullptr);

    QTableWidget* list() const { return Listbox_Alarms_; }

    // Every way of closing ends here.
    void done(int result) override;

private:
    void showStoredValues();
    void storeValues();
    void editValueOfRow(int row);
    void valueEntered(int row, const QString& typed);
    void tellRefused(int row, const QString& typed);

    AlarmSettingsStore& settings_;
    QTableWidget* Listbox_Alarms_;
    ReturnOnlyDelegate* valueEditing_;
    QPushButton* PushButton1_;
};
