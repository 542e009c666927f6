#pragma once

#include <QDialog>

class LogFolderStore;
class QLabel;
class QLineEdit;
class QPushButton;

// The settings window: shows the log folder and lets the user choose another. Whatever
// TextField_Log_Path holds when the window closes (by "OK" or by the close box alike) is
// saved to "Log_Folder.txt"; the logging picks it up at its next tick.
class WindowPreferences : public QDialog {
    Q_OBJECT
public:
    static QString saveFailureMessage() {
        return tr("Unable to save the log folder to Log_Folder.txt. "
                  "The logs go on in the previous folder.");
    }

    explicit WindowPreferences(LogFolderStore& logFolder, QWidget* parent = nullptr);

    // Saves the text of TextField_Log_Path; a failure is told to the user.
    void writeLogPathFile();

    void done(int result) override; // every way of closing ends here

protected:
    void showEvent(QShowEvent* event) override;

private:
    void PushButton2_Action();

    LogFolderStore& logFolder_;
    QLabel* Label1;
    QLineEdit* TextField_Log_Path;
    QPushButton* PushButton2;
    QPushButton* PushButton1;
};
