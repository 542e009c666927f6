#pragma once

#include <QUrl>

// Opens a web page in the user's default browser. The window reaches the browser through
// this so that a test can press the driver link without starting one.
class LinkOpener {
public:
    virtual ~LinkOpener() = default;
    virtual void open(const QUrl& url) = 0;
};

// QDesktopServices; a browser that cannot be started is not reported.
class DesktopLinkOpener : public LinkOpener {
public:
    void open(const QUrl& url) override;
};
