#pragma once
// The registry calls the program makes, with Windows' arguments and results, read
// only and for HKEY_CURRENT_USER. The per-user hive is one text file in the registry
// editor's export format (RegistryFile.h), read afresh by every RegOpenKeyExW; a
// handle keeps what was read then. Like the real calls these return the error code
// and leave the last error alone.

#include "platform/win32/LastError.h"
#include "platform/win32/Win32Types.h"

#ifdef _WIN32
// The program's UTF-16 names into the real calls (advapi32).
inline LSTATUS RegOpenKeyExW(HKEY hKey, WideIn subKey, DWORD options, REGSAM samDesired, PHKEY result)
{
    return ::RegOpenKeyExW(hKey, subKey.get(), options, samDesired, result);
}
inline LSTATUS RegQueryValueExW(HKEY hKey, WideIn valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                LPDWORD dataSize)
{
    return ::RegQueryValueExW(hKey, valueName.get(), reserved, type, data, dataSize);
}
#else

#include <cstdint>

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;
using LSTATUS = LONG;

// The predefined key's value is sign-extended on 64-bit Windows; so is ours.
inline HKEY const HKEY_CURRENT_USER =
    reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(static_cast<std::intptr_t>(static_cast<LONG>(0x80000001u))));

constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_DWORD_LITTLE_ENDIAN = 4;
constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
constexpr DWORD REG_LINK = 6;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_NOTIFY = 0x0010;
constexpr REGSAM KEY_WOW64_64KEY = 0x0100;
constexpr REGSAM KEY_WOW64_32KEY = 0x0200;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

// hKey is HKEY_CURRENT_USER or a key opened here; subKey may be null or empty (the
// key itself). Any access beyond KEY_READ is refused with ERROR_ACCESS_DENIED, since
// nothing here can be written. A key absent from the file, or no file at all, gives
// ERROR_FILE_NOT_FOUND; *result is null on every failure.
LSTATUS RegOpenKeyExW(HKEY hKey, LPCWSTR subKey, DWORD options, REGSAM samDesired, PHKEY result);

// valueName null or empty is the key's default value. With data null only the type
// and the size are reported; with a buffer too small ERROR_MORE_DATA and the size
// needed in *dataSize (the buffer's contents are then undefined, as on Windows).
// Sizes are in bytes; a string's size counts its terminating NUL.
LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataSize);

LSTATUS RegCloseKey(HKEY hKey);

#endif  // _WIN32
