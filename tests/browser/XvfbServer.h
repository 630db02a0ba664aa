#pragma once
// A private X server for one test process, DISPLAY pointing at it while the object lives.

#include "tests/support/ScopedEnvironmentVariable.h"
#include "tests/support/XvfbDisplay.h"

#include <string>

class XvfbServer {
public:
    const std::string& Display() const { return server_.Display(); }

private:
    testsupport::XvfbDisplay server_;
    ScopedEnvironmentVariable display_{"DISPLAY", server_.Display()};
};
