#include "app/AppNapActivity.h"

#import <Foundation/Foundation.h>

// The activity object of NSProcessInfo: App Nap stays off while it is held.
struct AppNapActivity::Token {
    id<NSObject> activity = nil;
};

AppNapActivity::AppNapActivity() : token_(std::make_unique<Token>()) {}

AppNapActivity::~AppNapActivity() {
    setHeld(false);
}

void AppNapActivity::setHeld(bool held) {
    if (held == held_)
        return;
    held_ = held;
    NSProcessInfo* process = [NSProcessInfo processInfo];
    if (held) {
        token_->activity = [process
            beginActivityWithOptions:(NSActivityUserInitiatedAllowingIdleSystemSleep | NSActivityLatencyCritical)
                              reason:@"Logging the installation once a second"];
        [token_->activity retain];
    } else if (token_->activity) {
        [process endActivity:token_->activity];
        [token_->activity release];
        token_->activity = nil;
    }
}
