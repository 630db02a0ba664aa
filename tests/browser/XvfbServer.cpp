#include "tests/browser/XvfbServer.h"

#include <chrono>
#include <cstdlib>
#include <stdexcept>

// Xvfb writes the display number and a newline to its standard output once it accepts;
// it reports every display it finds taken on its way to a free one on standard error.
XvfbServer::XvfbServer()
    : process_({"Xvfb", "-displayfd", "1", "-screen", "0", "1920x1080x24", "-nolisten", "tcp"},
               {.out = testsupport::ChildOutput::Pipe()})
{
    if (!process_.WaitForLine([](const std::string&) { return true; }, std::chrono::seconds(30)))
        throw std::runtime_error("Xvfb did not name its display");
    display_ = ":" + process_.OutLines().front();
    if (const char* old = std::getenv("DISPLAY")) {
        hadDisplay_ = true;
        previousDisplay_ = old;
    }
    ::setenv("DISPLAY", display_.c_str(), 1);
}

XvfbServer::~XvfbServer()
{
    process_.Stop(std::chrono::seconds(5));
    if (hadDisplay_)
        ::setenv("DISPLAY", previousDisplay_.c_str(), 1);
    else
        ::unsetenv("DISPLAY");
}
