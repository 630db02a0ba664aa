#pragma once
// The error catalogue and the functions that build and throw the client's exceptions.

#include "platform/win32/Win32Types.h"

namespace Tavik {

namespace HttpError {
constexpr DWORD NotSpecified = 0;
constexpr DWORD Unexpected = 100;
constexpr DWORD IndexOutOfRange = 101;
constexpr DWORD OutOfMemory = 102;
constexpr DWORD InvalidUrl = 103;
constexpr DWORD PostNotStarted = 104;
constexpr DWORD UnexpectedFileBytes = 105;
constexpr DWORD PostNotFinished = 106;
constexpr DWORD InvalidPort = 107;
constexpr DWORD StdException = 108;
constexpr DWORD InvalidEncodedUrl = 109;
constexpr DWORD InvalidUtf8 = 110;
constexpr DWORD Arithmetic = 111;
constexpr DWORD ArithmeticOverflow = 112;
constexpr DWORD DivideByZero = 113;
constexpr DWORD FileExists = 114;
constexpr DWORD HttpQueryInfoFailed = 400;
constexpr DWORD InternetReadFileFailed = 401;
constexpr DWORD InternetOpenFailed = 402;
constexpr DWORD InternetConnectFailed = 403;
constexpr DWORD HttpOpenRequestFailed = 404;
constexpr DWORD HttpAddRequestHeadersFailed = 405;
constexpr DWORD HttpSendRequestFailed = 406;
constexpr DWORD HttpSendRequestExFailed = 407;
constexpr DWORD InternetWriteFileFailed = 408;
constexpr DWORD HttpEndRequestFailed = 409;
constexpr DWORD InternetSetOptionFailed = 410;
constexpr DWORD WideCharToMultiByteFailed = 600;
constexpr DWORD MultiByteToWideCharFailed = 601;
constexpr DWORD ReadFileFailed = 602;
constexpr DWORD OpenFileFailed = 603;
constexpr DWORD SetFilePointerFailed = 604;
constexpr DWORD GetFileSizeFailed = 605;
constexpr DWORD WriteFileFailed = 606;
}  // namespace HttpError

// The message template of a code, by the band rules (603 and 605 hold a "%s").
const char16_t* ErrorCodeTextW(DWORD dwErrorCode) noexcept;
const char* ErrorCodeTextA(DWORD dwErrorCode) noexcept;

enum class ArithmeticFault { Overflow, DivideByZero, Other };

[[noreturn]] void ThrowHttpError(DWORD dwErrorCode);
[[noreturn]] void ThrowHttpMessage(const char16_t* szMessage);
// szArg, when given, is written in place of the template's "%s" (cut to 511 characters).
[[noreturn]] void ThrowHttpApiError(DWORD dwErrorCode, DWORD dwWin32Error, const char16_t* szArg = nullptr);
// A narrow text converted through the ANSI code page; a failed conversion leaves no message.
[[noreturn]] void ThrowHttpNarrowMessage(const char* szMessage, DWORD dwErrorCode, DWORD dwWin32Error);
[[noreturn]] void ThrowHttpArithmeticError(ArithmeticFault cause);

// Narrow forms, for CHttpToolA only.
[[noreturn]] void ThrowHttpErrorA(DWORD dwErrorCode);
[[noreturn]] void ThrowHttpMessageA(const char* szMessage);
[[noreturn]] void ThrowHttpApiErrorA(DWORD dwErrorCode, DWORD dwWin32Error);
[[noreturn]] void ThrowHttpArithmeticErrorA(ArithmeticFault cause);

// The internet library's symbolic name of an error number ("ERROR_INTERNET_CANNOT_CONNECT"
// for 12029), or an empty text; a new malloc'd string that the caller frees.
char16_t* WinInetErrorName(DWORD dwError);

}  // namespace Tavik
