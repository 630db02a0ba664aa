#include "app/gui/DisplayCheck.h"

#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// GTK picks Wayland when it can; only an X connection is checked here.
bool UsesX11()
{
    const char* backend = std::getenv("GDK_BACKEND");
    if (backend != nullptr && std::string(backend).starts_with("x11"))
        return true;
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return wayland == nullptr || *wayland == '\0';
}

int OnLostDisplay(Display*)
{
    static const char message[] = "zendrik2: the connection to the X display was lost; exiting\n";
    (void)!::write(STDERR_FILENO, message, sizeof message - 1);
    ::_exit(1);
}

}  // namespace

void DisplayConnection::Closer::operator()(_XDisplay* display) const { XCloseDisplay(display); }

bool DisplayConnection::Open()
{
    if (!UsesX11())
        return true;
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
        std::fprintf(stderr, "zendrik2: no display: DISPLAY is not set\n");
        return false;
    }
    Display* display = XOpenDisplay(name);
    if (display == nullptr) {
        std::fprintf(stderr, "zendrik2: no display: cannot open X display \"%s\"\n", name);
        return false;
    }
    display_.reset(display);
    return true;
}

void ExitOnLostDisplay() { XSetIOErrorHandler(OnLostDisplay); }
