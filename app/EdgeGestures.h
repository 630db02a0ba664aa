#pragma once
// Touch-screen edge gestures, switched through the optional companion library Quorell,
// which exports
//     extern "C" int DisableEdgeGestures(uintptr_t window, int flag);
// window: the native window (the X11 window id or the HWND; 0 where there is none), flag 1 switches
// the gestures off for it, 0 on again; the result is not used. The library is looked up
// by name ("libQuorell.so", then "Quorell.so"), the program's own directory first, then
// the system's library search, loaded for the one call and unloaded. When it or the
// function is missing nothing happens and nothing is reported.

#include "app/NativeWindowHandle.h"

#include <filesystem>

void SwitchEdgeGestures(NativeWindowHandle window, bool off);

// The same, looking in `firstDirectory` before the system's library search.
void SwitchEdgeGestures(NativeWindowHandle window, bool off, const std::filesystem::path& firstDirectory);

// The directory of the running program; empty when it cannot be told.
std::filesystem::path ProgramDirectory();
