#pragma once
// The transport tool layer: the stateless operations between the client and the
// internet library, the file system and the code-page converters. Each checks its
// arguments, makes its calls and turns every failure into httpclientexceptionW.
// Returned texts are malloc'd; the caller frees them.

#include "httpclient/HttpClientException.h"
#include "platform/wininet/WinInet.h"

namespace Tavik {

class CHttpToolW {
public:
    using CharType = char16_t;
    using ExceptionType = httpclientexceptionW;

    CHttpToolW() = delete;

    static HINTERNET OpenConnection(HINTERNET hInternet, const char16_t* szServerAddr, INTERNET_PORT port);
    // verb and object name go out in the code page; a null verb is GET.
    static HINTERNET OpenRequest(HINTERNET hConnection, const char16_t* verb, const char16_t* szObjectName, DWORD flags,
                                 UINT CodePage);
    static void AddHeader(HINTERNET hRequest, const char16_t* szName, const char16_t* szValue, UINT CodePage);
    static void SendRequest(HINTERNET hRequest, UINT CodePage);
    // Announces a body of `total` bytes, to be pushed with InternetWriteFile.
    static void SendRequestEx(HINTERNET hRequest, DWORD total);
    // Writes the whole buffer, however many calls the library needs.
    static void InternetWriteFile(HINTERNET hRequest, const BYTE* pbyBuff, DWORD cbyBuff);
    static void EndRequest(HINTERNET hRequest);
    // The reason phrase of the status line.
    static char16_t* GetStatusText(HINTERNET hRequest);

    // INVALID_HANDLE_VALUE when the file cannot be opened.
    static HANDLE OpenFile(const char16_t* szFilePath);
    // Files of 4 GiB and more are refused (605), as the body sizes are 32-bit.
    static DWORD GetFileSize(HANDLE hFile, const char16_t* szFilePath);
    // The sniffed type of the file's first bytes, the file left at its start;
    // "application/octet-stream" for INVALID_HANDLE_VALUE or an unknown type.
    static char* GetMimeType(HANDLE hFile, UINT CodePage);

    // Null in, null out.
    static char* Unicode2Ansi(const char16_t* szStr, UINT CodePage);
    static char16_t* Ansi2Unicode(LPCSTR szStr);

    // Closes the handle the variable holds, if any, and clears the variable.
    static void CloseInternetHandle(HINTERNET& hInternet);
    // "----VESKO-" + 32 hexadecimal digits + "-", or null when it cannot be made.
    static char16_t* GenerateBoundary();
};

}  // namespace Tavik
