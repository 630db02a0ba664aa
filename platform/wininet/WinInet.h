#pragma once
// The internet library's calls, as the HTTP client makes them: sessions, connections,
// requests with a pushed body, status queries, reading, options and the connection
// check. Every failure returns FALSE or null and leaves the internet library's error
// number (12xxx) or a Win32 error as the thread's last error (GetLastError).
//
// Requests are synchronous on the calling thread. The connection is made when a
// request is sent, not by InternetConnectW, so a server that refuses connections is
// reported by HttpSendRequestW / HttpSendRequestExW.

#include "platform/win32/LastError.h"
#include "platform/win32/Win32Types.h"

#ifdef _WIN32
#include <wininet.h>

// The program's UTF-16 text into the real calls.
inline HINTERNET InternetOpenW(WideIn userAgent, DWORD accessType, WideIn proxy, WideIn proxyBypass, DWORD flags)
{
    return ::InternetOpenW(userAgent.get(), accessType, proxy.get(), proxyBypass.get(), flags);
}
inline HINTERNET InternetConnectW(HINTERNET session, WideIn serverName, INTERNET_PORT serverPort, WideIn userName,
                                  WideIn password, DWORD service, DWORD flags, DWORD_PTR context)
{
    return ::InternetConnectW(session, serverName.get(), serverPort, userName.get(), password.get(), service, flags,
                              context);
}
inline BOOL HttpSendRequestW(HINTERNET request, WideIn headers, DWORD headersLength, LPVOID optional,
                             DWORD optionalLength)
{
    return ::HttpSendRequestW(request, headers.get(), headersLength, optional, optionalLength);
}
inline BOOL InternetCheckConnectionW(WideIn url, DWORD flags, DWORD reserved)
{
    return ::InternetCheckConnectionW(url.get(), flags, reserved);
}
#else

using HINTERNET = void*;
using INTERNET_PORT = WORD;

struct INTERNET_BUFFERSW {
    DWORD dwStructSize;
    INTERNET_BUFFERSW* Next;
    LPCWSTR lpcszHeader;
    DWORD dwHeadersLength;
    DWORD dwHeadersTotal;
    LPVOID lpvBuffer;
    DWORD dwBufferLength;
    DWORD dwBufferTotal;
    DWORD dwOffsetLow;
    DWORD dwOffsetHigh;
};

// Access types for InternetOpenW.
constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG = 0;
constexpr DWORD INTERNET_OPEN_TYPE_DIRECT = 1;
constexpr DWORD INTERNET_OPEN_TYPE_PROXY = 3;
constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY = 4;

// Open flags. Only synchronous use is offered: INTERNET_FLAG_ASYNC is refused.
constexpr DWORD INTERNET_FLAG_ASYNC = 0x10000000;

constexpr INTERNET_PORT INTERNET_INVALID_PORT_NUMBER = 0;  // the scheme's default port
constexpr INTERNET_PORT INTERNET_DEFAULT_HTTP_PORT = 80;
constexpr INTERNET_PORT INTERNET_DEFAULT_HTTPS_PORT = 443;
constexpr DWORD INTERNET_SERVICE_FTP = 1;
constexpr DWORD INTERNET_SERVICE_HTTP = 3;

// Request flags.
constexpr DWORD INTERNET_FLAG_RELOAD = 0x80000000;
constexpr DWORD INTERNET_FLAG_NO_CACHE_WRITE = 0x04000000;
constexpr DWORD INTERNET_FLAG_SECURE = 0x00800000;
constexpr DWORD INTERNET_FLAG_KEEP_CONNECTION = 0x00400000;
constexpr DWORD INTERNET_FLAG_NO_AUTO_REDIRECT = 0x00200000;
constexpr DWORD INTERNET_FLAG_RESYNCHRONIZE = 0x00000800;
constexpr DWORD INTERNET_FLAG_HYPERLINK = 0x00000400;
constexpr DWORD INTERNET_FLAG_NO_UI = 0x00000200;
constexpr DWORD INTERNET_FLAG_PRAGMA_NOCACHE = 0x00000100;

constexpr DWORD HTTP_ADDREQ_FLAG_ADD_IF_NEW = 0x10000000;
constexpr DWORD HTTP_ADDREQ_FLAG_ADD = 0x20000000;
constexpr DWORD HTTP_ADDREQ_FLAG_REPLACE = 0x80000000;

// HttpQueryInfoW.
constexpr DWORD HTTP_QUERY_STATUS_CODE = 19;
constexpr DWORD HTTP_QUERY_STATUS_TEXT = 20;
constexpr DWORD HTTP_QUERY_FLAG_NUMBER = 0x20000000;

// InternetSetOptionW.
constexpr DWORD INTERNET_OPTION_CONNECT_TIMEOUT = 2;
constexpr DWORD INTERNET_OPTION_SEND_TIMEOUT = 5;
constexpr DWORD INTERNET_OPTION_RECEIVE_TIMEOUT = 6;
constexpr DWORD INTERNET_OPTION_DATA_SEND_TIMEOUT = 7;
constexpr DWORD INTERNET_OPTION_DATA_RECEIVE_TIMEOUT = 8;
constexpr DWORD INTERNET_OPTION_PROXY_USERNAME = 43;
constexpr DWORD INTERNET_OPTION_PROXY_PASSWORD = 44;
constexpr DWORD INTERNET_OPTION_END_BROWSER_SESSION = 42;

constexpr DWORD FLAG_ICC_FORCE_CONNECTION = 1;

// The internet library's error numbers. A server certificate for another host name fails
// with ERROR_INTERNET_SEC_CERT_CN_INVALID, an expired one with ..._SEC_CERT_DATE_INVALID,
// any other that does not verify with ERROR_INTERNET_INVALID_CA; other TLS failures are
// ERROR_INTERNET_SECURITY_CHANNEL_ERROR.
constexpr DWORD INTERNET_ERROR_BASE = 12000;
constexpr DWORD ERROR_INTERNET_OUT_OF_HANDLES = 12001;
constexpr DWORD ERROR_INTERNET_TIMEOUT = 12002;
constexpr DWORD ERROR_INTERNET_EXTENDED_ERROR = 12003;
constexpr DWORD ERROR_INTERNET_INTERNAL_ERROR = 12004;
constexpr DWORD ERROR_INTERNET_INVALID_URL = 12005;
constexpr DWORD ERROR_INTERNET_UNRECOGNIZED_SCHEME = 12006;
constexpr DWORD ERROR_INTERNET_NAME_NOT_RESOLVED = 12007;
constexpr DWORD ERROR_INTERNET_PROTOCOL_NOT_FOUND = 12008;
constexpr DWORD ERROR_INTERNET_INVALID_OPTION = 12009;
constexpr DWORD ERROR_INTERNET_BAD_OPTION_LENGTH = 12010;
constexpr DWORD ERROR_INTERNET_OPERATION_CANCELLED = 12017;
constexpr DWORD ERROR_INTERNET_INCORRECT_HANDLE_TYPE = 12018;
constexpr DWORD ERROR_INTERNET_INCORRECT_HANDLE_STATE = 12019;
constexpr DWORD ERROR_INTERNET_CANNOT_CONNECT = 12029;
constexpr DWORD ERROR_INTERNET_CONNECTION_ABORTED = 12030;
constexpr DWORD ERROR_INTERNET_CONNECTION_RESET = 12031;
constexpr DWORD ERROR_INTERNET_SEC_CERT_DATE_INVALID = 12037;
constexpr DWORD ERROR_INTERNET_SEC_CERT_CN_INVALID = 12038;
constexpr DWORD ERROR_INTERNET_INVALID_CA = 12045;
constexpr DWORD ERROR_HTTP_HEADER_NOT_FOUND = 12150;
constexpr DWORD ERROR_HTTP_INVALID_SERVER_RESPONSE = 12152;
constexpr DWORD ERROR_HTTP_INVALID_HEADER = 12153;
constexpr DWORD ERROR_HTTP_INVALID_QUERY_REQUEST = 12154;
constexpr DWORD ERROR_HTTP_HEADER_ALREADY_EXISTS = 12155;
constexpr DWORD ERROR_HTTP_REDIRECT_FAILED = 12156;
constexpr DWORD ERROR_INTERNET_SECURITY_CHANNEL_ERROR = 12157;

HINTERNET InternetOpenW(LPCWSTR userAgent, DWORD accessType, LPCWSTR proxy, LPCWSTR proxyBypass, DWORD flags);

HINTERNET InternetConnectW(HINTERNET session, LPCWSTR serverName, INTERNET_PORT serverPort, LPCWSTR userName,
                           LPCWSTR password, DWORD service, DWORD flags, DWORD_PTR context);

HINTERNET HttpOpenRequestA(HINTERNET connection, LPCSTR verb, LPCSTR objectName, LPCSTR version, LPCSTR referrer,
                           LPCSTR* acceptTypes, DWORD flags, DWORD_PTR context);

// headersLength may be (DWORD)-1 for a NUL-terminated text.
BOOL HttpAddRequestHeadersA(HINTERNET request, LPCSTR headers, DWORD headersLength, DWORD modifiers);

BOOL HttpSendRequestW(HINTERNET request, LPCWSTR headers, DWORD headersLength, LPVOID optional, DWORD optionalLength);

// Starts a request whose body of buffersIn->dwBufferTotal bytes the caller then pushes
// with InternetWriteFile and closes with HttpEndRequestW.
BOOL HttpSendRequestExW(HINTERNET request, INTERNET_BUFFERSW* buffersIn, INTERNET_BUFFERSW* buffersOut, DWORD flags,
                        DWORD_PTR context);

BOOL InternetWriteFile(HINTERNET request, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten);

BOOL HttpEndRequestW(HINTERNET request, INTERNET_BUFFERSW* buffersOut, DWORD flags, DWORD_PTR context);

// HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER into a DWORD, or HTTP_QUERY_STATUS_TEXT
// as UTF-16 text; *bufferLength is in bytes. A buffer too small (or null) fails with
// ERROR_INSUFFICIENT_BUFFER and sets *bufferLength to the bytes needed, terminator included.
BOOL HttpQueryInfoW(HINTERNET request, DWORD infoLevel, LPVOID buffer, LPDWORD bufferLength, LPDWORD index);

BOOL InternetReadFile(HINTERNET request, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead);

// A null handle sets the process-wide default for sessions opened afterwards
// (timeouts in milliseconds), or ends the browser session.
BOOL InternetSetOptionW(HINTERNET handle, DWORD option, LPVOID buffer, DWORD bufferLength);

BOOL InternetCheckConnectionW(LPCWSTR url, DWORD flags, DWORD reserved);

BOOL InternetCloseHandle(HINTERNET handle);

#endif  // _WIN32
