#pragma once
// The Windows system headers, and the one place where the program's UTF-16 text
// (char16_t) meets theirs (WCHAR, a 16-bit unit on Windows): the same units seen
// through another type. Windows only: the program itself never names the compiler's
// wide character type, which is 32 bits on Linux. The platform headers' Windows forms add char16_t overloads of
// the calls the program makes, taking WideIn and WideOut, which a char16_t pointer
// converts to and the real types never need: a null argument still picks the real call.
// Neither converts back on its own, so an overload cannot call itself by mistake.

#ifndef _WIN32
#error "Windows only"
#endif

#include <windows.h>

static_assert(sizeof(WCHAR) == sizeof(char16_t), "UTF-16 units on both sides");

inline LPCWSTR WindowsText(const char16_t* text) { return reinterpret_cast<LPCWSTR>(text); }
inline LPWSTR WindowsText(char16_t* text) { return reinterpret_cast<LPWSTR>(text); }
inline const char16_t* ProgramText(LPCWSTR text) { return reinterpret_cast<const char16_t*>(text); }
inline char16_t* ProgramText(LPWSTR text) { return reinterpret_cast<char16_t*>(text); }

// A text argument the program passes in.
class WideIn {
public:
    WideIn(const char16_t* text) : text_(WindowsText(text)) {}
    LPCWSTR get() const { return text_; }

private:
    LPCWSTR text_;
};

// A buffer the call writes text into.
class WideOut {
public:
    WideOut(char16_t* buffer) : buffer_(WindowsText(buffer)) {}
    LPWSTR get() const { return buffer_; }

private:
    LPWSTR buffer_;
};
