#include "httpclient/HttpClientException.h"
#include "httpclient/HttpErrors.h"

#include "platform/codepage/CodePage.h"

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

namespace Tavik {

namespace {

constexpr std::size_t kFormattedMessageLimit = 511;  // a 512-character buffer with its terminator

// printf-style formatting of a catalogue template with one "%s"; nullopt for a
// template that printf would reject, so that the caller falls back to the bare template.
std::optional<std::u16string> FormatTemplate(const char16_t* format, const char16_t* arg)
{
    std::u16string out;
    for (const char16_t* p = format; *p != u'\0'; ++p) {
        if (*p != u'%') {
            out += *p;
            continue;
        }
        ++p;
        if (*p == u's')
            out += arg;
        else if (*p == u'%')
            out += u'%';
        else
            return std::nullopt;
    }
    if (out.size() > kFormattedMessageLimit)
        out.resize(kFormattedMessageLimit);
    return out;
}

// The ANSI code page's reading of a narrow text; null when it cannot be converted.
std::unique_ptr<char16_t[], decltype(&std::free)> AnsiToWide(const char* text)
{
    std::unique_ptr<char16_t[], decltype(&std::free)> none(nullptr, &std::free);
    if (text == nullptr)
        return none;
    const int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (units <= 0)
        return none;
    std::unique_ptr<char16_t[], decltype(&std::free)> wide(
        static_cast<char16_t*>(std::malloc(static_cast<std::size_t>(units) * sizeof(char16_t))), &std::free);
    if (!wide || MultiByteToWideChar(CP_ACP, 0, text, -1, wide.get(), units) == 0)
        return none;
    return wide;
}

DWORD ArithmeticCode(ArithmeticFault cause)
{
    switch (cause) {
    case ArithmeticFault::DivideByZero: return HttpError::DivideByZero;
    case ArithmeticFault::Overflow: return HttpError::ArithmeticOverflow;
    case ArithmeticFault::Other: break;
    }
    return HttpError::Arithmetic;
}

}  // namespace

void ThrowHttpError(DWORD dwErrorCode) { throw httpclientexceptionW(ErrorCodeTextW(dwErrorCode), dwErrorCode, 0); }

void ThrowHttpMessage(const char16_t* szMessage) { throw httpclientexceptionW(szMessage, 0, 0); }

void ThrowHttpApiError(DWORD dwErrorCode, DWORD dwWin32Error, const char16_t* szArg)
{
    const char16_t* format = ErrorCodeTextW(dwErrorCode);
    if (szArg == nullptr)
        throw httpclientexceptionW(format, dwErrorCode, dwWin32Error);
    const std::optional<std::u16string> message = FormatTemplate(format, szArg);
    throw httpclientexceptionW(message ? message->c_str() : format, dwErrorCode, dwWin32Error);
}

void ThrowHttpNarrowMessage(const char* szMessage, DWORD dwErrorCode, DWORD dwWin32Error)
{
    const auto wide = AnsiToWide(szMessage);
    throw httpclientexceptionW(wide.get(), dwErrorCode, dwWin32Error);
}

void ThrowHttpArithmeticError(ArithmeticFault cause) { ThrowHttpError(ArithmeticCode(cause)); }

void ThrowHttpErrorA(DWORD dwErrorCode) { throw httpclientexceptionA(ErrorCodeTextA(dwErrorCode), dwErrorCode, 0); }

void ThrowHttpMessageA(const char* szMessage) { throw httpclientexceptionA(szMessage, 0, 0); }

void ThrowHttpApiErrorA(DWORD dwErrorCode, DWORD dwWin32Error)
{
    throw httpclientexceptionA(ErrorCodeTextA(dwErrorCode), dwErrorCode, dwWin32Error);
}

void ThrowHttpArithmeticErrorA(ArithmeticFault cause) { ThrowHttpErrorA(ArithmeticCode(cause)); }

}  // namespace Tavik
