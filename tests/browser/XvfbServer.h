#pragma once
// A private X server for one test process: Xvfb on the first free display, 1920x1080
// in 24 bits, DISPLAY pointing at it while the object lives.

#include "tests/support/ChildProcess.h"

#include <string>

class XvfbServer {
public:
    XvfbServer();   // throws when Xvfb does not come up
    ~XvfbServer();  // stops it and restores DISPLAY
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    const std::string& Display() const { return display_; }

private:
    testsupport::ChildProcess process_;
    std::string display_;
    std::string previousDisplay_;
    bool hadDisplay_ = false;
};
