#pragma once
// GUID creation (CoCreateGuid) on libuuid's random generator.

#include "platform/win32/Win32Types.h"

#ifdef _WIN32
#include <objbase.h>
#else

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};

HRESULT CoCreateGuid(GUID* guid);

#endif  // _WIN32
