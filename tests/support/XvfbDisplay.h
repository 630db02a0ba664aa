#pragma once
// A private X server: Xvfb on the first free display, 1920x1080 in 24 bits, stopped
// with the object.
//
// An X server resets when its last client leaves, and hangs up on a connection that
// arrives meanwhile. A booth whose display serves only zendrik2 is in that case, so the
// window tests start it there too; the harness then keeps out of the way: no client of
// its own while the program starts, and each start on a server that has finished resetting.

#include "tests/support/ChildProcess.h"

#include <chrono>
#include <string>
#include <vector>

namespace testsupport {

enum class XvfbReset {
    Never,        // -noreset: clients may come and go freely
    OnLastClient  // the X server's default
};

class XvfbDisplay {
public:
    explicit XvfbDisplay(XvfbReset reset = XvfbReset::Never);  // throws when Xvfb does not come up
    ~XvfbDisplay();
    XvfbDisplay(const XvfbDisplay&) = delete;
    XvfbDisplay& operator=(const XvfbDisplay&) = delete;

    const std::string& Display() const { return display_; }  // ":N"
    std::vector<std::string> Environment() const { return {"DISPLAY=" + display_}; }
    bool ResetsOnLastClient() const { return reset_ == XvfbReset::OnLastClient; }

    // The connections the server holds open, read from the kernel's socket table, so that
    // looking makes no connection of its own.
    int ClientCount() const;
    // No client, and the server asleep waiting for one: any reset is over. True within the time.
    bool WaitUntilIdle(std::chrono::milliseconds timeout) const;

private:
    bool Sleeping() const;

    XvfbReset reset_;
    ChildProcess process_;
    std::string display_;
};

}  // namespace testsupport
