#pragma once
// Content-type sniffing of a file's first bytes (the shell's FindMimeFromData),
// answered by libmagic. The type comes back as a UTF-16 text that the caller releases
// with CoTaskMemFree.

#include "platform/win32/Win32Types.h"

// S_OK with *mimeOut set, or an error HRESULT (no data: E_INVALIDARG).
// bindContext, url and proposedMime must be null; reserved must be 0.
HRESULT FindMimeFromData(void* bindContext, LPCWSTR url, LPVOID buffer, DWORD size, LPCWSTR proposedMime,
                         DWORD mimeFlags, LPWSTR* mimeOut, DWORD reserved);

void CoTaskMemFree(void* memory);
