#pragma once
// A private X server: Xvfb on the first free display, 1920x1080 in 24 bits, stopped
// with the object.

#include "tests/support/ChildProcess.h"

#include <string>
#include <vector>

namespace testsupport {

class XvfbDisplay {
public:
    XvfbDisplay();  // throws when Xvfb does not come up
    ~XvfbDisplay();
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    const std::string& Display() const { return display_; }  // ":N"
    std::vector<std::string> Environment() const { return {"DISPLAY=" + display_}; }

private:
    ChildProcess process_;
    std::string display_;
};

}  // namespace testsupport
