#pragma once
// Shared pieces of the client's wire tests: a configured client as the program makes
// one, reading a whole response, temporary files, and counting open handles.

#include "httpclient/HttpClient.h"
#include "platform/win32/Utf.h"
#include "tests/support/OpenHandleCount.h"
#include "tests/support/TempDir.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace clienttest {

inline constexpr const char16_t* kUserAgent = u"Orvane Systems User Agent v1.0";

inline void Configure(Tavik::CHttpClient& client)
{
    client.SetInternetSettings(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    client.SetUseUtf8(true);
}

struct Reply {
    DWORD status = 0;
    std::u16string statusText;
    std::string body;
};

// The calling order every caller of the program uses: status, text, body byte by byte.
inline Reply ReadReply(Tavik::CHttpResponse* raw)
{
    std::unique_ptr<Tavik::CHttpResponse> response(raw);
    Reply reply;
    reply.status = response->GetStatus();
    reply.statusText = response->GetStatusText();
    BYTE byte = 0;
    while (response->ReadContent(&byte, 1) == 1)
        reply.body += static_cast<char>(byte);
    return reply;
}

inline std::u16string W(const std::string& utf8) { return Utf8ToUtf16(utf8); }

using testsupport::TempDir;

using testsupport::OpenHandleCount;

// The first bytes of a PNG file, enough for any sniffer to call it image/png.
inline std::string PngBytes(std::size_t size)
{
    std::string bytes("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x02\0\0\0\x90wS\xde", 33);
    bytes.resize(size, '\x42');
    return bytes;
}

// The boundary the client announced in its Content-Type header.
inline std::string BoundaryOf(const std::string& contentType)
{
    const std::string marker = "boundary=";
    const auto at = contentType.find(marker);
    return at == std::string::npos ? std::string() : contentType.substr(at + marker.size());
}

}  // namespace clienttest
