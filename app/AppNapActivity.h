#pragma once

#include <memory>

// macOS puts a hidden or covered application to sleep (App Nap), which would stretch the log's
// one line per second. While connected the application holds an activity that forbids it;
// elsewhere this does nothing.
class AppNapActivity {
public:
    AppNapActivity();
    ~AppNapActivity();
    AppNapActivity(const AppNapActivity&) = delete;
    AppNapActivity& operator=(const AppNapActivity&) = delete;

    void setHeld(bool held);

private:
    struct Token;
    std::unique_ptr<Token> token_; // the system's activity while held (macOS only)
    bool held_ = false;
};
