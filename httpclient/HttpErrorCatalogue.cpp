#include "httpclient/HttpErrors.h"

#include <iterator>

namespace Tavik {

namespace {

// Each template once, in both forms: the wide one for httpclientexceptionW, the
// narrow one for its twin.
struct CatalogueText {
    const char* narrow;
    const char16_t* wide;
};

#define TAVIK_TEXT(text)                                                                                               \
    CatalogueText { text, u"" text }

constexpr CatalogueText kNormalTexts[] = {
    // 100 to 114
    TAVIK_TEXT("Unexpected error occurred."),
    TAVIK_TEXT("The index is out of range."),
    TAVIK_TEXT("Out of memory."),
    TAVIK_TEXT("The requested URL is not a valid URL."),
    TAVIK_TEXT("The post context is not started yet."),
    TAVIK_TEXT("Couldn't read expected bytes from a file."),
    TAVIK_TEXT("The post context has not been finished yet."),
    TAVIK_TEXT("The port number is not valid."),
    TAVIK_TEXT("std::exception occurred."),
    TAVIK_TEXT("The encoded URL is not valid."),
    TAVIK_TEXT("The UTF8 string contains an invalid character."),
    TAVIK_TEXT("An unexpected arithmetic error has been occurred."),
    TAVIK_TEXT("An arithmetic overflow error has been occurred."),
    TAVIK_TEXT("An interger divide by zero exception has been occurred."),
    TAVIK_TEXT("The file (%s) aleady exists."),
};

constexpr CatalogueText kWin32NormalText = TAVIK_TEXT("");  // 200

constexpr CatalogueText kWinInetTexts[] = {
    // 400 to 410
    TAVIK_TEXT("::HttpQueryInfo failed."),     TAVIK_TEXT("::InternetReadFile failed."),
    TAVIK_TEXT("::InternetOpen failed."),      TAVIK_TEXT("::InternetConnect failed."),
    TAVIK_TEXT("::HttpOpenRequest failed."),   TAVIK_TEXT("::HttpAddRequestHeaders failed."),
    TAVIK_TEXT("::HttpSendRequest failed."),   TAVIK_TEXT("::HttpSendRequestEx failed."),
    TAVIK_TEXT("::InternetWriteFile failed."), TAVIK_TEXT("::HttpEndRequest failed."),
    TAVIK_TEXT("::InternetSetOption failed."),
};

constexpr CatalogueText kWin32ApiTexts[] = {
    // 600 to 606
    TAVIK_TEXT("::WideCharToMultiByte failed."),
    TAVIK_TEXT("::MultiByteToWideChar failed."),
    TAVIK_TEXT("::ReadFile failed."),
    TAVIK_TEXT("OpenFile (::CreateFile) failed (\"%s\")."),
    TAVIK_TEXT("::SetFilePointer failed."),
    TAVIK_TEXT("::GetFileSize failed (\"%s\")."),
    TAVIK_TEXT("::WriteFile failed (\"%s\")."),
};

constexpr CatalogueText kNotSpecified = TAVIK_TEXT("Not specified");
constexpr CatalogueText kUserDefined = TAVIK_TEXT("user-defined error message");

// The band fallbacks are the one place where the two forms differ in wording.
constexpr CatalogueText kWin32ApiFallback{"undefined Win32 API error", u"undefined 32 error code"};
constexpr CatalogueText kWinInetFallback{"undefined WinInet error", u"undefined WinInet error code"};
constexpr CatalogueText kWin32NormalFallback{"undefined normal Win32 error", u"undefined normal Win32 error code"};
constexpr CatalogueText kNormalFallback{"undefined normal error", u"undefined normal error code"};

#undef TAVIK_TEXT

template <std::size_t N>
const CatalogueText& RowOrFallback(const CatalogueText (&rows)[N], DWORD index, const CatalogueText& fallback)
{
    return index < N ? rows[index] : fallback;
}

// The index is the remainder within the whole band, so 503 reads the 403 row.
const CatalogueText& Lookup(DWORD code)
{
    if (code >= 1000)
        return kUserDefined;
    if (code >= 600)
        return RowOrFallback(kWin32ApiTexts, code % 100, kWin32ApiFallback);
    if (code >= 400)
        return RowOrFallback(kWinInetTexts, code % 100, kWinInetFallback);
    if (code >= 200)
        return code % 100 == 0 ? kWin32NormalText : kWin32NormalFallback;
    if (code >= 100)
        return RowOrFallback(kNormalTexts, code % 100, kNormalFallback);
    return kNotSpecified;
}

}  // namespace

const char16_t* ErrorCodeTextW(DWORD dwErrorCode) noexcept { return Lookup(dwErrorCode).wide; }

const char* ErrorCodeTextA(DWORD dwErrorCode) noexcept { return Lookup(dwErrorCode).narrow; }

}  // namespace Tavik
