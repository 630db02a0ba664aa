#include "tests/support/XvfbDisplay.h"

#include <chrono>
#include <stdexcept>

namespace testsupport {

// Xvfb writes the display number and a newline to its standard output once it accepts;
// it reports every display it finds taken on its way to a free one on standard error.
XvfbDisplay::XvfbDisplay()
    : process_({"Xvfb", "-displayfd", "1", "-screen", "0", "1920x1080x24", "-nolisten", "tcp", "-noreset"},
               {.out = ChildOutput::Pipe()})
{
    if (!process_.WaitForLine([](const std::string&) { return true; }, std::chrono::seconds(30)))
        throw std::runtime_error("Xvfb did not name its display");
    display_ = ":" + process_.OutLines().front();
}

XvfbDisplay::~XvfbDisplay() { process_.Stop(std::chrono::seconds(10)); }

}  // namespace testsupport
