#pragma once
// Content-type sniffing of a file's first bytes (the shell's FindMimeFromData),
// answered by libmagic. The type comes back as a UTF-16 text that the caller releases
// with CoTaskMemFree.

#include "platform/win32/Win32Types.h"

#ifdef _WIN32
#include <objbase.h>
#include <urlmon.h>

// The program's UTF-16 texts into the real call (urlmon); the type comes back as the
// program's text, released with CoTaskMemFree as before.
inline HRESULT FindMimeFromData(void* bindContext, WideIn url, LPVOID buffer, DWORD size, WideIn proposedMime,
                                DWORD mimeFlags, char16_t** mimeOut, DWORD reserved)
{
    return ::FindMimeFromData(static_cast<LPBC>(bindContext), url.get(), buffer, size, proposedMime.get(), mimeFlags,
                              reinterpret_cast<LPWSTR*>(mimeOut), reserved);
}
#else

// S_OK with *mimeOut set, or an error HRESULT (no data: E_INVALIDARG).
// bindContext, url and proposedMime must be null; reserved must be 0.
HRESULT FindMimeFromData(void* bindContext, LPCWSTR url, LPVOID buffer, DWORD size, LPCWSTR proposedMime,
                         DWORD mimeFlags, LPWSTR* mimeOut, DWORD reserved);

void CoTaskMemFree(void* memory);

#endif  // _WIN32
