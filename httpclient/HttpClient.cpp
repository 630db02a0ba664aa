// The client's member definitions live in three parts, one per concept, and are
// instantiated once here for the wide client the program uses.

#include "httpclient/HttpClient.h"

#include "httpclient/CheckedArithmetic.h"
#include "httpclient/HttpErrors.h"

#include "platform/fileapi/FileApi.h"
#include "platform/win32/WideCrt.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <utility>

namespace Tavik {

namespace {

// The three handles of a request being opened: closed in reverse order unless handed on.
struct PendingRequest {
    HINTERNET hInternet = nullptr;
    HINTERNET hConnection = nullptr;
    HINTERNET hRequest = nullptr;

    PendingRequest() = default;
    PendingRequest(const PendingRequest&) = delete;
    PendingRequest& operator=(const PendingRequest&) = delete;
    ~PendingRequest()
    {
        CloseHandleIfOpen(hRequest);
        CloseHandleIfOpen(hConnection);
        CloseHandleIfOpen(hInternet);
    }
    void Release() { hInternet = hConnection = hRequest = nullptr; }

    static void CloseHandleIfOpen(HINTERNET& h)
    {
        if (h != nullptr)
            ::InternetCloseHandle(h);
        h = nullptr;
    }
};

DWORD TextLength(const char16_t* text) { return text ? CheckedCast(wcrt::wcslen(text)) : 0; }
DWORD TextLength(const char* text) { return text ? CheckedCast(std::strlen(text)) : 0; }

char16_t* CopyTextOrThrow(const char16_t* text)
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

bool IsEmptyText(const char16_t* text) { return text == nullptr || *text == u'\0'; }

constexpr const char* kFixedBoundaryA = "----TAVIK-FB3B405B7EAE495aB0C0295C54D4E096-";
constexpr const char16_t* kFixedContentType =
    u"multipart/form-data; boundary=----TAVIK-FB3B405B7EAE495aB0C0295C54D4E096-";
constexpr const char16_t* kMultipartContentTypePrefix = u"multipart/form-data; boundary=";

}  // namespace

}  // namespace Tavik

#include "httpclient/HttpClientRequests.ipp"
#include "httpclient/HttpPostContext.ipp"
#include "httpclient/HttpUploadContext.ipp"

namespace Tavik {
template class CHttpClientT<CHttpToolW, CHttpEncoderW>;
}
