#pragma once
// The file calls the program makes, with Windows' arguments and results. File names
// are UTF-16 and reach the file system as UTF-8. Failures set the last error.

#include "platform/win32/LastError.h"
#include "platform/win32/Win32Types.h"

#ifdef _WIN32
// The program's UTF-16 file name into the real call (kernel32).
inline HANDLE CreateFileW(WideIn fileName, DWORD desiredAccess, DWORD shareMode, void* securityAttributes,
                          DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile)
{
    return ::CreateFileW(fileName.get(), desiredAccess, shareMode,
                         static_cast<LPSECURITY_ATTRIBUTES>(securityAttributes), creationDisposition,
                         flagsAndAttributes, templateFile);
}
#else

constexpr DWORD GENERIC_READ = 0x80000000;
constexpr DWORD FILE_SHARE_READ = 0x00000001;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;
constexpr DWORD FILE_FLAG_SEQUENTIAL_SCAN = 0x08000000;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFF;
constexpr DWORD INVALID_SET_FILE_POINTER = 0xFFFFFFFF;
constexpr DWORD FILE_BEGIN = 0;
constexpr DWORD FILE_CURRENT = 1;
constexpr DWORD FILE_END = 2;

// Opens an existing file for reading only (the one access the program needs);
// INVALID_HANDLE_VALUE on failure. securityAttributes and templateFile must be null.
HANDLE CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode, void* securityAttributes,
                   DWORD creationDisposition, DWORD flagsAndAttributes, HANDLE templateFile);

// The low 32 bits of the size; the high part goes to *fileSizeHigh when given.
// INVALID_FILE_SIZE with a last error on failure (a size whose low part is all ones
// returns it too, with last error 0).
DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh);

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead, void* overlapped);

DWORD SetFilePointer(HANDLE file, LONG distanceToMove, PLONG distanceToMoveHigh, DWORD moveMethod);

BOOL CloseHandle(HANDLE handle);

#endif  // _WIN32
