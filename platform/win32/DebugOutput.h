#pragma once
// The debugger output the login browser writes its navigation lines to. On Windows the
// system's; elsewhere it goes to stderr, and only when ZENDRIK_DEBUG is set (to anything).

#include "platform/win32/Win32Types.h"

#ifdef _WIN32
inline void OutputDebugStringW(WideIn text) { ::OutputDebugStringW(text.get()); }
#else
// Writes the text as UTF-8, as it is (the caller ends its lines).
void OutputDebugStringW(const char16_t* text);
#endif
