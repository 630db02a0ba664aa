#pragma once
// Code-page conversion with Windows' numbering and results: 0 (CP_ACP) is the
// process locale's charset, 65001 is UTF-8, 1252 and the other Windows and ISO code
// pages by number. Characters the target cannot hold become '?' (no failure);
// malformed input becomes U+FFFD. Lengths count units; -1 means up to and including
// the terminator. A zero output size asks for the length needed.

#include "platform/win32/LastError.h"
#include "platform/win32/Win32Types.h"

#ifdef _WIN32
// The program's UTF-16 text into the real calls (kernel32).
inline int WideCharToMultiByte(UINT codePage, DWORD flags, WideIn wideText, int wideLength, LPSTR output,
                               int outputSize, LPCSTR defaultChar, BOOL* usedDefaultChar)
{
    return ::WideCharToMultiByte(codePage, flags, wideText.get(), wideLength, output, outputSize, defaultChar,
                                 usedDefaultChar);
}
inline int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, WideOut output, int outputSize)
{
    return ::MultiByteToWideChar(codePage, flags, text, length, output.get(), outputSize);
}
#else

constexpr UINT CP_ACP = 0;
constexpr UINT CP_OEMCP = 1;
constexpr UINT CP_UTF7 = 65000;
constexpr UINT CP_UTF8 = 65001;

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wideText, int wideLength, LPSTR output, int outputSize,
                        LPCSTR defaultChar, BOOL* usedDefaultChar);

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR output, int outputSize);

#endif  // _WIN32
