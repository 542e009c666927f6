#include "app/AppNapActivity.h"

// Outside macOS there is no App Nap: nothing to hold.
struct AppNapActivity::Token {};

AppNapActivity::AppNapActivity() = default;
AppNapActivity::~AppNapActivity() = default;

void AppNapActivity::setHeld(bool held) {
    held_ = held;
}
