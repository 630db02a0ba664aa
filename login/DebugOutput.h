#pragma once
// The debugger output the login browser writes its navigation lines to. On this
// platform it goes to stderr, and only when ZENDRIK_DEBUG is set (to anything).

#include "platform/win32/Win32Types.h"

// Writes the text as UTF-8, as it is (the caller ends its lines).
void OutputDebugStringW(LPCWSTR text);
