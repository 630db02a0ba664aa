// The request calls: open, headers, send (whole or pushed), write, end, query, read.

#include "platform/win32/WideText.h"
#include "platform/wininet/ApiSupport.h"
#include "platform/wininet/Handles.h"
#include "platform/wininet/Request.h"
#include "platform/wininet/WinInet.h"

#include <limits>
#include <memory>
#include <new>

using namespace wininet;

namespace {

std::shared_ptr<Request> FindRequest(HINTERNET handle, DWORD& error)
{
    return LookupHandleAs<Request>(handle, HandleKind::Request, error);
}

RequestOptions OptionsOf(LPCSTR verb, LPCSTR objectName, LPCSTR version, LPCSTR referrer, LPCSTR* acceptTypes,
                         DWORD flags)
{
    RequestOptions options;
    if (verb != nullptr && *verb != '\0') {
        options.verb = verb;
    }
    if (objectName != nullptr && *objectName != '\0') {
        options.objectName = objectName;
    }
    options.version = version == nullptr ? "" : version;
    options.referrer = referrer == nullptr ? "" : referrer;
    for (LPCSTR* type = acceptTypes; type != nullptr && *type != nullptr; ++type) {
        options.acceptTypes.emplace_back(*type);
    }
    options.flags = flags;
    return options;
}

// Answers a query for a text: the two-call protocol with the length in bytes, the
// terminator counted when asking for room and not counted on success.
BOOL AnswerText(const std::u16string& text, LPVOID buffer, LPDWORD bufferLength)
{
    const std::size_t needed = (text.size() + 1) * sizeof(char16_t);
    if (needed > std::numeric_limits<DWORD>::max()) {
        return FailWith(ERROR_NOT_ENOUGH_MEMORY);
    }
    if (buffer == nullptr || *bufferLength < needed) {
        *bufferLength = static_cast<DWORD>(needed);
        return FailWith(ERROR_INSUFFICIENT_BUFFER);
    }
    auto* out = static_cast<char16_t*>(buffer);
    text.copy(out, text.size());
    out[text.size()] = u'\0';
    *bufferLength = static_cast<DWORD>(text.size() * sizeof(char16_t));
    return TRUE;
}

BOOL AnswerNumber(DWORD value, LPVOID buffer, LPDWORD bufferLength)
{
    if (buffer == nullptr || *bufferLength < sizeof(DWORD)) {
        *bufferLength = sizeof(DWORD);
        return FailWith(ERROR_INSUFFICIENT_BUFFER);
    }
    std::memcpy(buffer, &value, sizeof value);
    *bufferLength = sizeof(DWORD);
    return TRUE;
}

template <class Call>
BOOL Guarded(Call call)
{
    try {
        return call();
    } catch (const std::bad_alloc&) {
        return FailWith(ERROR_NOT_ENOUGH_MEMORY);
    }
}

}  // namespace

HINTERNET HttpOpenRequestA(HINTERNET connection, LPCSTR verb, LPCSTR objectName, LPCSTR version, LPCSTR referrer,
                           LPCSTR* acceptTypes, DWORD flags, DWORD_PTR)
{
    DWORD error = ERROR_SUCCESS;
    auto owner = LookupHandleAs<Connection>(connection, HandleKind::Connection, error);
    if (!owner) {
        return FailHandle(error);
    }
    try {
        auto request = std::make_shared<Request>(std::move(owner),
                                                 OptionsOf(verb, objectName, version, referrer, acceptTypes, flags));
        return RegisterHandle(std::move(request));
    } catch (const std::bad_alloc&) {
        return FailHandle(ERROR_NOT_ENOUGH_MEMORY);
    }
}

BOOL HttpAddRequestHeadersA(HINTERNET request, LPCSTR headers, DWORD headersLength, DWORD modifiers)
{
    DWORD error = ERROR_SUCCESS;
    auto target = FindRequest(request, error);
    if (!target) {
        return FailWith(error);
    }
    if (headers == nullptr || headersLength == 0) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    return Guarded([&] { return Outcome(target->AddHeaders(AnsiText(headers, headersLength), modifiers)); });
}

BOOL HttpSendRequestW(HINTERNET request, LPCWSTR headers, DWORD headersLength, LPVOID optional, DWORD optionalLength)
{
    DWORD error = ERROR_SUCCESS;
    auto target = FindRequest(request, error);
    if (!target) {
        return FailWith(error);
    }
    if (optional == nullptr && optionalLength != 0) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    return Guarded([&] {
        std::string body =
            optional == nullptr ? std::string() : std::string(static_cast<const char*>(optional), optionalLength);
        return Outcome(target->Send(NarrowText(headers, headersLength), std::move(body)));
    });
}

BOOL HttpSendRequestExW(HINTERNET request, INTERNET_BUFFERSW* buffersIn, INTERNET_BUFFERSW*, DWORD, DWORD_PTR)
{
    DWORD error = ERROR_SUCCESS;
    auto target = FindRequest(request, error);
    if (!target) {
        return FailWith(error);
    }
    if (buffersIn != nullptr && buffersIn->dwBufferLength != 0 && buffersIn->lpvBuffer == nullptr) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    return Guarded([&] {
        std::string headers;
        DWORD total = 0;
        if (buffersIn != nullptr) {
            headers = NarrowText(buffersIn->lpcszHeader, buffersIn->dwHeadersLength);
            total = buffersIn->dwBufferTotal;
        }
        if (const DWORD failure = target->SendEx(headers, total); failure != ERROR_SUCCESS) {
            return FailWith(failure);
        }
        // Body bytes that come with the call itself are the first part of the body.
        if (buffersIn != nullptr && buffersIn->dwBufferLength != 0) {
            return Outcome(target->Write(static_cast<const BYTE*>(buffersIn->lpvBuffer), buffersIn->dwBufferLength));
        }
        return TRUE;
    });
}

BOOL InternetWriteFile(HINTERNET request, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten)
{
    DWORD error = ERROR_SUCCESS;
    auto target = FindRequest(request, error);
    if (!target) {
        return FailWith(error);
    }
    if (bytesWritten == nullptr || (buffer == nullptr && bytesToWrite != 0)) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    *bytesWritten = 0;
    if (bytesToWrite == 0) {
        return TRUE;
    }
    return Guarded([&] {
        if (const DWORD failure = target->Write(static_cast<const BYTE*>(buffer), bytesToWrite);
            failure != ERROR_SUCCESS) {
            return FailWith(failure);
        }
        *bytesWritten = bytesToWrite;
        return TRUE;
    });
}

BOOL HttpEndRequestW(HINTERNET request, INTERNET_BUFFERSW*, DWORD, DWORD_PTR)
{
    DWORD error = ERROR_SUCCESS;
    auto target = FindRequest(request, error);
    if (!target) {
        return FailWith(error);
    }
    return Guarded([&] { return Outcome(target->End()); });
}

BOOL HttpQueryInfoW(HINTERNET request, DWORD infoLevel, LPVOID buffer, LPDWORD bufferLength, LPDWORD)
{
    DWORD error = ERROR_SUCCESS;
    auto target = FindRequest(request, error);
    if (!target) {
        return FailWith(error);
    }
    if (bufferLength == nullptr) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    const DWORD level = infoLevel & 0xFFFF;
    const bool asNumber = (infoLevel & HTTP_QUERY_FLAG_NUMBER) != 0;
    return Guarded([&] {
        if (level == HTTP_QUERY_STATUS_CODE) {
            int code = 0;
            if (const DWORD failure = target->StatusCode(code); failure != ERROR_SUCCESS) {
                return FailWith(failure);
            }
            if (asNumber) {
                return AnswerNumber(static_cast<DWORD>(code), buffer, bufferLength);
            }
            return AnswerText(WideDecimal(code), buffer, bufferLength);
        }
        if (level == HTTP_QUERY_STATUS_TEXT && !asNumber) {
            std::string reason;
            if (const DWORD failure = target->StatusText(reason); failure != ERROR_SUCCESS) {
                return FailWith(failure);
            }
            return AnswerText(Utf8ToUtf16(reason), buffer, bufferLength);
        }
        return FailWith(ERROR_HTTP_INVALID_QUERY_REQUEST);
    });
}

BOOL InternetReadFile(HINTERNET request, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead)
{
    DWORD error = ERROR_SUCCESS;
    auto target = FindRequest(request, error);
    if (!target) {
        return FailWith(error);
    }
    if (bytesRead == nullptr || (buffer == nullptr && bytesToRead != 0)) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    *bytesRead = 0;
    if (bytesToRead == 0) {
        return TRUE;
    }
    return Guarded([&] {
        DWORD got = 0;
        if (const DWORD failure = target->Read(static_cast<BYTE*>(buffer), bytesToRead, got);
            failure != ERROR_SUCCESS) {
            return FailWith(failure);
        }
        *bytesRead = got;
        return TRUE;
    });
}
