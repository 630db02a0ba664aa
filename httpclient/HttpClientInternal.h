#pragma once
// What the client's three parts (HttpClientRequests.ipp, HttpPostContext.ipp,
// HttpUploadContext.ipp) share besides the class itself. Included only by them.

#include "httpclient/CheckedArithmetic.h"
#include "httpclient/HttpErrors.h"
#include "httpclient/MultipartBoundary.h"
#include "httpclient/RequestHandles.h"

#include "platform/win32/WideCrt.h"
#include "platform/wininet/WinInet.h"

#include <cstdlib>
#include <cstring>
#include <string_view>

namespace Tavik::clientpart {

// The three handles of a request being opened: closed unless handed on.
template <typename HttpTool>
struct PendingRequest {
    HINTERNET hInternet = nullptr;
    HINTERNET hConnection = nullptr;
    HINTERNET hRequest = nullptr;

    PendingRequest() = default;
    PendingRequest(const PendingRequest&) = delete;
    PendingRequest& operator=(const PendingRequest&) = delete;
    ~PendingRequest() { CloseRequestHandles<HttpTool>(hInternet, hConnection, hRequest); }
    void Release() { hInternet = hConnection = hRequest = nullptr; }
};

// What sizing a context's body found. The first parameter is what QueryPostStat shows
// before the first step has started it.
struct BodySize {
    DWORD cbBody = 0;
    DWORD cbContent = 0;
    DWORD nParams = 0;
    DWORD nFiles = 0;
    const char16_t* szFirstName = nullptr;
    const char16_t* szFirstPath = nullptr;
    DWORD cbFirstContent = 0;
    bool bFirstIsFile = false;

    // One parameter of cbPart body bytes, cbPartContent of them its content.
    void Add(const char16_t* szName, DWORD cbPart, DWORD cbPartContent, bool bFile, const char16_t* szPath)
    {
        cbBody = CheckedAdd(cbBody, cbPart);
        cbContent = CheckedAdd(cbContent, cbPartContent);
        if (nParams++ != 0)
            return;
        szFirstName = szName;
        szFirstPath = szPath;
        cbFirstContent = cbPartContent;
        bFirstIsFile = bFile;
    }
};

inline DWORD TextLength(const char16_t* text) { return text ? CheckedCast(wcrt::wcslen(text)) : 0; }
inline DWORD TextLength(const char* text) { return text ? CheckedCast(std::strlen(text)) : 0; }

inline char16_t* CopyTextOrThrow(const char16_t* text)
{
    if (text == nullptr)
        return nullptr;
    const DWORD units = CheckedAdd(TextLength(text), 1);
    auto* copy = static_cast<char16_t*>(std::malloc(CheckedMul(units, sizeof(char16_t))));
    if (copy == nullptr)
        ThrowHttpError(HttpError::OutOfMemory);
    std::memcpy(copy, text, units * sizeof(char16_t));
    return copy;
}

inline bool IsEmptyText(const char16_t* text) { return text == nullptr || *text == u'\0'; }

constexpr char16_t kMultipartContentTypePrefix[] = u"multipart/form-data; boundary=";

// The boundary of a client that could not generate its own.
constexpr char kFixedBoundaryA[] = "----TAVIK-FB3B405B7EAE495aB0C0295C54D4E096-";
constexpr char16_t kFixedContentType[] = u"multipart/form-data; boundary=----TAVIK-FB3B405B7EAE495aB0C0295C54D4E096-";

consteval bool IsPrefixThenBoundary(std::u16string_view contentType, std::u16string_view prefix,
                                    std::string_view boundary)
{
    if (contentType.size() != prefix.size() + boundary.size() || !contentType.starts_with(prefix))
        return false;
    for (std::size_t i = 0; i < boundary.size(); ++i) {
        if (contentType[prefix.size() + i] != static_cast<char16_t>(boundary[i]))
            return false;
    }
    return true;
}

static_assert(std::string_view(kFixedBoundaryA).size() == kMultipartBoundaryLength);
static_assert(IsPrefixThenBoundary(kFixedContentType, kMultipartContentTypePrefix, kFixedBoundaryA));

}  // namespace Tavik::clientpart
