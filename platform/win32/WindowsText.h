#pragma once
// The Windows system headers, and the one place where the program's UTF-16 text
// (char16_t) meets theirs (wchar_t, 16 bits on Windows too): the same units seen
// through another type. The platform headers' Windows forms add char16_t overloads of
// the calls the program makes, taking WideIn and WideOut, which a char16_t pointer
// converts to and the real types never need: a null argument still picks the real call.
// Neither converts back on its own, so an overload cannot call itself by mistake.

#ifndef _WIN32
#error "Windows only"
#endif

#include <windows.h>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 units on both sides");

inline const wchar_t* WindowsText(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
inline wchar_t* WindowsText(char16_t* text) { return reinterpret_cast<wchar_t*>(text); }
inline const char16_t* ProgramText(const wchar_t* text) { return reinterpret_cast<const char16_t*>(text); }
inline char16_t* ProgramText(wchar_t* text) { return reinterpret_cast<char16_t*>(text); }

// A text argument the program passes in.
class WideIn {
public:
    WideIn(const char16_t* text) : text_(WindowsText(text)) {}
    const wchar_t* get() const { return text_; }

private:
    const wchar_t* text_;
};

// A buffer the call writes text into.
class WideOut {
public:
    WideOut(char16_t* buffer) : buffer_(WindowsText(buffer)) {}
    wchar_t* get() const { return buffer_; }

private:
    wchar_t* buffer_;
};
