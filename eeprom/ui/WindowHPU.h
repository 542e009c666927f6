#pragma once

#include "eeprom/HpuEepromEditor.h"

#include <QDialog>

#include <memory>

class EepromLink;
class EepromPrompts;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class TimerFactory;
class ReturnOnlyDelegate;
class WallClock;

// "HPU EEPROM": the HPU's 17 EEPROM parameters, read from the HPU when the window opens,
// one of them written at a time by editing its Value cell and pressing Return. What the
// HPU holds can be saved to a backup file, and a backup compared with the HPU and its
// differences written back. Shown modally over the main window, whose link keeps running
// and carries the requests and answers. The logic is in HpuEepromEditor; this window shows
// it and forwards the clicks, keys and buttons.
class WindowHPU : public QDialog {
    Q_OBJECT
public:
    // Only Describtion, Value and Real value are visible; the hidden columns keep the
    // address, range and unit texts of the catalogue.
    static constexpr const char* kColumnWidths = "0, 0, 65%,0,0,0,0,10%,25%";
    // Comparing with a file adds the file's value.
    static constexpr const char* kCompareColumnWidths = "0, 0, 50%,0,0,0,0,10%,25%,15%";
    static constexpr int kColFileValue = kEepromColumnCount;

    WindowHPU(EepromLink& link, TimerFactory& timers, EepromPrompts& prompts, QWidget* parent = nullptr);
    ~WindowHPU() override;

    // Where backups go and come from: the clock that dates a backup and the folder the file
    // dialogs start in. Without it the backup buttons stay disabled.
    void setBackups(const WallClock& clock, const QString& folder);

    HpuEepromEditor& editor() { return editor_; }
    QTableWidget* Listbox_EEPROM() const { return list_; }
    QProgressBar* ProgressBar1() const { return progressBar_; }
    QPushButton* saveButton() const { return saveButton_; }
    QPushButton* loadButton() const { return loadButton_; }
    QPushButton* writeDifferencesButton() const { return writeDifferencesButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    QLabel* statusLine() const { return statusLine_; }

    void done(int result) override; // every way of closing the window stops Timer1
    // Escape and the close box: during a write or a restore they cancel it, tell the
    // account, and only then close the window.
    void reject() override;

    // The window keeps the link and prompts it was built on when they were made for it
    // alone; they outlive the editor.
    void adopt(std::unique_ptr<EepromLink> link, std::unique_ptr<EepromPrompts> prompts);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void render();
    void applyColumnWidths();
    void cellClicked(int row, int column);
    void valueEntered(const QString& text);
    void saveToFile();
    void loadFromFile();
    void cancel();
    void tell(const QString& report);

    std::unique_ptr<EepromLink> ownedLink_; // declared before editor_: destroyed after it
    std::unique_ptr<EepromPrompts> ownedPrompts_;
    EepromPrompts& prompts_;
    HpuEepromEditor editor_;
    QTableWidget* list_;
    ReturnOnlyDelegate* delegate_;
    QProgressBar* progressBar_;
    QPushButton* saveButton_;
    QPushButton* loadButton_;
    QPushButton* writeDifferencesButton_;
    QPushButton* cancelButton_;
    QLabel* statusLine_;
    const WallClock* clock_ = nullptr;
    QString backupFolder_;
    bool opened_ = false;
    int editingRow_ = -1;         // the row whose Value cell is open for editing
    bool closeWhenEnded_ = false; // Escape or the close box came during a write
};
