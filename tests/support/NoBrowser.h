#pragma once

#include "app/LinkOpener.h"

// A link opener that opens nothing: the window tests never start a browser.
class NoBrowser : public LinkOpener {
public:
    void open(const QUrl&) override {}
};
