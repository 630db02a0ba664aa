#pragma once
// The imitations' own bridge from the C library's failures to Windows' numbering.

#include "platform/win32/LastError.h"

// errno values as the Win32 error the same failure has on Windows.
DWORD Win32ErrorFromErrno(int errnoValue);
