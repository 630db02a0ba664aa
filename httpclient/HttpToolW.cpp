#include "httpclient/HttpToolW.h"

#include "httpclient/HttpErrors.h"
#include "httpclient/HttpToolA.h"
#include "httpclient/HttpWriteLoop.h"
#include "httpclient/MallocPtr.h"
#include "httpclient/MultipartBoundary.h"
#include "platform/codepage/CodePage.h"
#include "platform/fileapi/FileApi.h"
#include "platform/guid/Guid.h"
#include "platform/mime/MimeSniff.h"

#include <cstdio>
#include <cstring>

namespace Tavik {

namespace {

constexpr char kDefaultMimeType[] = "application/octet-stream";
// A generated boundary: this prefix, the GUID's 32 hexadecimal digits and "-".
constexpr char kBoundaryPrefix[] = "----VESKO-";
constexpr std::size_t kGuidHexDigits = 32;
static_assert(sizeof kBoundaryPrefix - 1 + kGuidHexDigits + 1 == kMultipartBoundaryLength);
constexpr DWORD kMimeSniffBytes = 256;

bool IsUtfCodePage(UINT CodePage) { return CodePage == CP_UTF8 || CodePage == CP_UTF7; }

[[noreturn]] void ThrowCheck(const char* szMessage) { ThrowHttpNarrowMessage(szMessage, 0, 0); }

[[noreturn]] void ThrowTranslated(const httpclientexceptionA& e)
{
    ThrowHttpNarrowMessage(e.Message(), e.ErrorCode(), e.Win32Error());
}

char* NewDefaultMimeType()
{
    auto* copy = static_cast<char*>(std::malloc(sizeof kDefaultMimeType));
    if (copy == nullptr)
        ThrowHttpError(HttpError::OutOfMemory);
    std::memcpy(copy, kDefaultMimeType, sizeof kDefaultMimeType);
    return copy;
}

struct CoTaskMemDeleter {
    void operator()(char16_t* memory) const noexcept { CoTaskMemFree(memory); }
};

}  // namespace

HINTERNET CHttpToolW::OpenConnection(HINTERNET hInternet, const char16_t* szServerAddr, INTERNET_PORT port)
{
    if (hInternet == nullptr)
        ThrowCheck("CHttpToolW::OpenConnection: hInternet can not be NULL.");
    if (szServerAddr == nullptr)
        ThrowCheck("CHttpToolW::OpenConnection: szServerAddr can not be NULL.");
    if (szServerAddr[0] == u'\0')
        ThrowCheck("CHttpToolW::OpenConnection: szServerAddr can not be an empty string.");

    HINTERNET hConnection =
        InternetConnectW(hInternet, szServerAddr, port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    if (hConnection == nullptr)
        ThrowHttpApiError(HttpError::InternetConnectFailed, GetLastError());
    return hConnection;
}

HINTERNET CHttpToolW::OpenRequest(HINTERNET hConnection, const char16_t* verb, const char16_t* szObjectName,
                                  DWORD flags, UINT CodePage)
{
    if (hConnection == nullptr)
        ThrowCheck("CHttpToolW::OpenRequest: hConnection can not be NULL.");
    if (szObjectName == nullptr)
        ThrowCheck("CHttpToolW::OpenRequest: szObjectName can not be NULL.");
    if (szObjectName[0] == u'\0')
        ThrowCheck("CHttpToolW::OpenRequest: szObjectName can not be an empty string.");
    if (IsUtfCodePage(CodePage))
        ThrowCheck("CHttpToolW::OpenRequest: CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter.");

    MallocPtr<char> verbA(Unicode2Ansi(verb, CodePage));
    MallocPtr<char> objectNameA(Unicode2Ansi(szObjectName, CodePage));
    try {
        return CHttpToolA::OpenRequest(hConnection, verbA.get(), objectNameA.get(), flags, nullptr);
    } catch (const httpclientexceptionA& e) {
        verbA.reset();
        objectNameA.reset();
        ThrowTranslated(e);
    }
}

void CHttpToolW::AddHeader(HINTERNET hRequest, const char16_t* szName, const char16_t* szValue, UINT CodePage)
{
    if (hRequest == nullptr)
        ThrowCheck("CHttpToolW::AddHeader: hRequest can not be NULL.");
    if (szName == nullptr)
        ThrowCheck("CHttpToolW::AddHeader: szName can not be NULL.");
    if (IsUtfCodePage(CodePage))
        ThrowCheck("CHttpToolW::AddHeader: CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter.");

    MallocPtr<char> nameA(Unicode2Ansi(szName, CodePage));
    MallocPtr<char> valueA(Unicode2Ansi(szValue, CodePage));
    try {
        CHttpToolA::AddHeader(hRequest, nameA.get(), valueA.get());
    } catch (const httpclientexceptionA& e) {
        nameA.reset();
        valueA.reset();
        ThrowTranslated(e);
    }
}

void CHttpToolW::SendRequest(HINTERNET hRequest, UINT CodePage)
{
    if (hRequest == nullptr)
        ThrowCheck("CHttpToolW::SendRequest: hRequest can not be NULL.");
    if (IsUtfCodePage(CodePage))
        ThrowCheck("CHttpToolW::SendRequest: CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter.");

    if (!HttpSendRequestW(hRequest, nullptr, 0, nullptr, 0))
        ThrowHttpApiError(HttpError::HttpSendRequestFailed, GetLastError());
}

void CHttpToolW::SendRequestEx(HINTERNET hRequest, DWORD total)
{
    if (hRequest == nullptr)
        ThrowCheck("CHttpToolW::SendRequestEx: hRequest can not be NULL.");

    INTERNET_BUFFERSW buffersIn{};
    buffersIn.dwStructSize = sizeof buffersIn;
    buffersIn.dwBufferTotal = total;
    if (!HttpSendRequestExW(hRequest, &buffersIn, nullptr, 0, 0))
        ThrowHttpApiError(HttpError::HttpSendRequestExFailed, GetLastError());
}

void CHttpToolW::InternetWriteFile(HINTERNET hRequest, const BYTE* pbyBuff, DWORD cbyBuff)
{
    if (hRequest == nullptr)
        ThrowCheck("CHttpToolW::InternetWriteFile: hRequest can not be NULL.");
    if (pbyBuff == nullptr)
        ThrowCheck("CHttpToolW::InternetWriteFile: pbyBuff can not be NULL.");
    if (cbyBuff == 0)
        ThrowCheck("CHttpToolW::InternetWriteFile: cbyBuff can not be zero.");

    WriteWholeBuffer(::InternetWriteFile, hRequest, pbyBuff, cbyBuff);
}

void CHttpToolW::EndRequest(HINTERNET hRequest)
{
    if (hRequest == nullptr)
        ThrowCheck("CHttpToolW::EndRequest: hRequest can not be NULL.");

    if (!HttpEndRequestW(hRequest, nullptr, 0, 0))
        ThrowHttpApiError(HttpError::HttpEndRequestFailed, GetLastError());
}

char16_t* CHttpToolW::GetStatusText(HINTERNET hRequest)
{
    if (hRequest == nullptr)
        ThrowCheck("CHttpToolW::GetStatusText: hRequest can not be NULL.");

    DWORD cbText = 0;
    if (!HttpQueryInfoW(hRequest, HTTP_QUERY_STATUS_TEXT, nullptr, &cbText, nullptr)) {
        const DWORD dwError = GetLastError();
        if (dwError != ERROR_INSUFFICIENT_BUFFER)
            ThrowHttpApiError(HttpError::HttpQueryInfoFailed, dwError);
    }
    // Zeroed, with one unit more than asked for, so the text is terminated whatever
    // length the library reported.
    const std::size_t cchBuffer = cbText / sizeof(char16_t) + 1;
    MallocPtr<char16_t> text(static_cast<char16_t*>(std::calloc(cchBuffer, sizeof(char16_t))));
    if (!text)
        ThrowHttpError(HttpError::OutOfMemory);
    if (!HttpQueryInfoW(hRequest, HTTP_QUERY_STATUS_TEXT, text.get(), &cbText, nullptr)) {
        const DWORD dwError = GetLastError();
        text.reset();
        ThrowHttpApiError(HttpError::HttpQueryInfoFailed, dwError);
    }
    return text.release();
}

HANDLE CHttpToolW::OpenFile(const char16_t* szFilePath)
{
    if (szFilePath == nullptr)
        ThrowCheck("CHttpToolW::OpenFile: szFilePath can not be NULL.");

    return CreateFileW(szFilePath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

DWORD CHttpToolW::GetFileSize(HANDLE hFile, const char16_t* szFilePath)
{
    if (hFile == nullptr)
        ThrowCheck("CHttpToolW::GetFileSize: hFile can not be NULL.");
    if (szFilePath == nullptr)
        ThrowCheck("CHttpToolW::GetFileSize: szFilePath can not be NULL.");

    DWORD dwSizeHigh = 0;
    const DWORD dwSize = ::GetFileSize(hFile, &dwSizeHigh);
    // Also a true size whose low part is all ones (last error 0): the caller could not
    // tell it from a failure, and it cannot be framed in a 32-bit body anyway.
    if (dwSize == INVALID_FILE_SIZE)
        ThrowHttpApiError(HttpError::GetFileSizeFailed, GetLastError(), szFilePath);
    // The body is announced in 32 bits: a larger file would be sent cut short.
    if (dwSizeHigh != 0)
        ThrowHttpApiError(HttpError::GetFileSizeFailed, ERROR_FILE_TOO_LARGE, szFilePath);
    return dwSize;
}

char* CHttpToolW::GetMimeType(HANDLE hFile, UINT CodePage)
{
    if (hFile == nullptr)
        ThrowCheck("CHttpToolW::GetMimeType: hFile can not be NULL.");
    if (IsUtfCodePage(CodePage))
        ThrowCheck("CHttpToolW::GetMimeType: CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter.");
    if (hFile == INVALID_HANDLE_VALUE)
        return NewDefaultMimeType();

    BYTE head[kMimeSniffBytes];
    DWORD cbRead = 0;
    if (!ReadFile(hFile, head, sizeof head, &cbRead, nullptr))
        ThrowHttpApiError(HttpError::ReadFileFailed, GetLastError());
    if (SetFilePointer(hFile, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        ThrowHttpApiError(HttpError::SetFilePointerFailed, GetLastError());

    char16_t* szSniffed = nullptr;
    if (FindMimeFromData(nullptr, nullptr, head, cbRead, nullptr, 0, &szSniffed, 0) != S_OK)
        return NewDefaultMimeType();
    const std::unique_ptr<char16_t, CoTaskMemDeleter> sniffed(szSniffed);
    return Unicode2Ansi(sniffed.get(), CodePage);
}

char* CHttpToolW::Unicode2Ansi(const char16_t* szStr, UINT CodePage)
{
    if (IsUtfCodePage(CodePage))
        ThrowCheck("CHttpToolW::Unicode2Ansi: CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter.");
    if (szStr == nullptr)
        return nullptr;

    const int cbNeeded = WideCharToMultiByte(CodePage, 0, szStr, -1, nullptr, 0, nullptr, nullptr);
    if (cbNeeded == 0)
        ThrowHttpApiError(HttpError::WideCharToMultiByteFailed, GetLastError());
    MallocPtr<char> text(static_cast<char*>(std::malloc(static_cast<std::size_t>(cbNeeded))));
    if (!text)
        ThrowHttpError(HttpError::OutOfMemory);
    if (WideCharToMultiByte(CodePage, 0, szStr, -1, text.get(), cbNeeded, nullptr, nullptr) == 0) {
        const DWORD dwError = GetLastError();
        text.reset();
        ThrowHttpApiError(HttpError::WideCharToMultiByteFailed, dwError);
    }
    return text.release();
}

char16_t* CHttpToolW::Ansi2Unicode(LPCSTR szStr)
{
    if (szStr == nullptr)
        return nullptr;

    const int cchNeeded = MultiByteToWideChar(CP_ACP, 0, szStr, -1, nullptr, 0);
    if (cchNeeded == 0)
        ThrowHttpApiError(HttpError::MultiByteToWideCharFailed, GetLastError());
    MallocPtr<char16_t> text(
        static_cast<char16_t*>(std::malloc(static_cast<std::size_t>(cchNeeded) * sizeof(char16_t))));
    if (!text)
        ThrowHttpError(HttpError::OutOfMemory);
    if (MultiByteToWideChar(CP_ACP, 0, szStr, -1, text.get(), cchNeeded) == 0) {
        const DWORD dwError = GetLastError();
        text.reset();
        ThrowHttpApiError(HttpError::MultiByteToWideCharFailed, dwError);
    }
    return text.release();
}

void CHttpToolW::CloseInternetHandle(HINTERNET& hInternet)
{
    if (hInternet == nullptr)
        return;
    InternetCloseHandle(hInternet);
    hInternet = nullptr;
}

char16_t* CHttpToolW::GenerateBoundary()
{
    GUID guid{};
    if (CoCreateGuid(&guid) != S_OK)
        return nullptr;
    constexpr std::size_t kBoundaryUnits = kMultipartBoundaryLength + 1;  // and the terminator
    auto* boundary = static_cast<char16_t*>(std::malloc(kBoundaryUnits * sizeof(char16_t)));
    if (boundary == nullptr)
        return nullptr;

    char narrow[kBoundaryUnits];
    const int cch = std::snprintf(narrow, sizeof narrow, "%s%.08x%.04x%.04x%.02x%.02x%.02x%.02x%.02x%.02x%.02x%.02x-",
                                  kBoundaryPrefix, static_cast<unsigned>(guid.Data1), static_cast<unsigned>(guid.Data2),
                                  static_cast<unsigned>(guid.Data3), guid.Data4[0], guid.Data4[1], guid.Data4[2],
                                  guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    if (cch != static_cast<int>(kBoundaryUnits - 1)) {
        std::free(boundary);
        return nullptr;
    }
    for (std::size_t i = 0; i < kBoundaryUnits; ++i)
        boundary[i] = static_cast<unsigned char>(narrow[i]);
    return boundary;
}

}  // namespace Tavik
