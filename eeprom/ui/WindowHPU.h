#pragma once

#include "eeprom/HpuEepromEditor.h"

#include <QDialog>

#include <memory>

class EepromLink;
class EepromPrompts;
class QProgressBar;
class QTableWidget;
class TimerFactory;

// "HPU EEPROM": the HPU's 17 EEPROM parameters, read from the HPU when the window opens,
// one of them written at a time by editing its Value cell. Shown modally over the main
// window, whose link keeps running and carries the requests and answers. The logic is in
// HpuEepromEditor; this window shows it and forwards the clicks and edits.
class WindowHPU : public QDialog {
    Q_OBJECT
public:
    // Only Describtion, Value and Real value are visible; the hidden columns keep the
    // address, range and unit texts that the rows are read back from.
    static constexpr const char* kColumnWidths = "0, 0, 65%,0,0,0,0,10%,25%";

    WindowHPU(EepromLink& link, TimerFactory& timers, EepromPrompts& prompts, QWidget* parent = nullptr);
    ~WindowHPU() override;

    HpuEepromEditor& editor() { return editor_; }
    QTableWidget* Listbox_EEPROM() const { return list_; }
    QProgressBar* ProgressBar1() const { return progressBar_; }

    void done(int result) override; // every way of closing the window stops Timer1

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
    void editCommitted();

    std::unique_ptr<EepromLink> ownedLink_; // declared before editor_: destroyed after it
    std::unique_ptr<EepromPrompts> ownedPrompts_;
    HpuEepromEditor editor_;
    QTableWidget* list_;
    QProgressBar* progressBar_;
    bool opened_ = false;
    int editingRow_ = -1; // the row whose Value cell is open for editing
};
