#pragma once
// The native window as the edge-gesture library takes it: an X11 window id or an HWND,
// so as wide as a pointer (unsigned long is 32 bits on 64-bit Windows); 0 for none.

#include <cstdint>

using NativeWindowHandle = std::uintptr_t;
