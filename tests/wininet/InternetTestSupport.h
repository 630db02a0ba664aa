#pragma once
// Small helpers for driving the internet-library layer in tests: owned handles, the usual
// open/connect/request sequence, reading a whole body, the status queries, and scoped
// process-wide timeouts.

#include "platform/wininet/WinInet.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace wininettest {

struct HandleCloser {
    void operator()(void* handle) const { InternetCloseHandle(handle); }
};
using Handle = std::unique_ptr<void, HandleCloser>;

inline constexpr char16_t kUserAgent[] = u"Orvane Systems User Agent v1.0";
inline constexpr DWORD kRequestFlags = 0x84400F00;

// Direct access: a proxy configured in the environment must not reroute the tests.
inline Handle OpenSession(DWORD accessType = INTERNET_OPEN_TYPE_DIRECT, const char16_t* proxy = nullptr)
{
    return Handle(InternetOpenW(kUserAgent, accessType, proxy, nullptr, 0));
}

inline Handle Connect(HINTERNET session, std::uint16_t port, const char16_t* host = u"127.0.0.1")
{
    return Handle(InternetConnectW(session, host, port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
}

inline Handle OpenRequest(HINTERNET connection, const char* verb, const char* object, bool secure)
{
    LPCSTR accept[] = {"*/*", nullptr};
    const DWORD flags = kRequestFlags | (secure ? INTERNET_FLAG_SECURE : 0);
    return Handle(HttpOpenRequestA(connection, verb, object, "HTTP/1.1", nullptr, accept, flags, 0));
}

// Session, connection and request to 127.0.0.1:port in one go.
struct Exchange {
    Handle session;
    Handle connection;
    Handle request;

    Exchange(std::uint16_t port, const char* verb, const char* object, bool secure, const char16_t* host = u"127.0.0.1")
        : session(OpenSession()),
          connection(Connect(session.get(), port, host)),
          request(OpenRequest(connection.get(), verb, object, secure))
    {
    }
    HINTERNET Request() const { return request.get(); }
};

inline BOOL AddHeader(HINTERNET request, std::string_view line)
{
    return HttpAddRequestHeadersA(request, std::string(line).c_str(), static_cast<DWORD>(-1), HTTP_ADDREQ_FLAG_ADD);
}

inline BOOL SendEx(HINTERNET request, DWORD total)
{
    INTERNET_BUFFERSW buffers{};
    buffers.dwStructSize = sizeof buffers;
    buffers.dwBufferTotal = total;
    return HttpSendRequestExW(request, &buffers, nullptr, 0, 0);
}

inline DWORD StatusOf(HINTERNET request)
{
    DWORD status = 0;
    DWORD length = sizeof status;
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length, nullptr)) {
        return 0;
    }
    return status;
}

// The two-call protocol: ask for the length, then fetch into a buffer of that length.
inline std::u16string ReasonOf(HINTERNET request)
{
    DWORD length = 0;
    if (HttpQueryInfoW(request, HTTP_QUERY_STATUS_TEXT, nullptr, &length, nullptr) ||
        GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
        return u"<query failed>";
    }
    std::u16string text(length / sizeof(char16_t), u'\0');
    if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_TEXT, text.data(), &length, nullptr)) {
        return u"<query failed>";
    }
    text.resize(length / sizeof(char16_t));
    return text;
}

// Reads until the end; `chunk` bytes per call (the client reads one).
inline std::string ReadBody(HINTERNET request, DWORD chunk = 1)
{
    std::string body;
    std::string buffer(chunk, '\0');
    for (;;) {
        DWORD got = 0;
        if (!InternetReadFile(request, buffer.data(), chunk, &got)) {
            return body + "<read failed " + std::to_string(GetLastError()) + ">";
        }
        if (got == 0) {
            return body;
        }
        body.append(buffer.data(), got);
    }
}

// Process-wide timeouts for sessions opened while it lives; the built-in ones afterwards.
class ScopedTimeouts {
public:
    ScopedTimeouts(DWORD connectMs, DWORD sendMs, DWORD receiveMs) { Set(connectMs, sendMs, receiveMs); }
    ~ScopedTimeouts() { Set(60'000, 30'000, 30'000); }
    ScopedTimeouts(const ScopedTimeouts&) = delete;
    ScopedTimeouts& operator=(const ScopedTimeouts&) = delete;

private:
    static void Set(DWORD connectMs, DWORD sendMs, DWORD receiveMs)
    {
        InternetSetOptionW(nullptr, INTERNET_OPTION_CONNECT_TIMEOUT, &connectMs, sizeof connectMs);
        InternetSetOptionW(nullptr, INTERNET_OPTION_SEND_TIMEOUT, &sendMs, sizeof sendMs);
        InternetSetOptionW(nullptr, INTERNET_OPTION_RECEIVE_TIMEOUT, &receiveMs, sizeof receiveMs);
    }
};

// Bytes that differ from position to position, so that a lost or doubled piece shows.
inline std::string PatternBytes(std::size_t size, unsigned seed = 7)
{
    std::string bytes(size, '\0');
    std::uint32_t state = seed;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

}  // namespace wininettest
