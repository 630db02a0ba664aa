// InternetSetOptionW: timeouts (process-wide or per handle), the proxy account, and the end
// of the browser session.

#include "platform/wininet/ApiSupport.h"
#include "platform/wininet/Handles.h"
#include "platform/wininet/Request.h"
#include "platform/wininet/Timeouts.h"
#include "platform/wininet/WinInet.h"

#include <memory>
#include <new>

using namespace wininet;

namespace {

BOOL SetTimeout(HINTERNET handle, TimeoutKind kind, LPVOID buffer, DWORD bufferLength)
{
    if (buffer == nullptr) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    if (bufferLength < sizeof(DWORD)) {
        return FailWith(ERROR_INTERNET_BAD_OPTION_LENGTH);
    }
    DWORD ms = 0;
    std::memcpy(&ms, buffer, sizeof ms);
    if (handle == nullptr) {
        SetDefaultTimeout(kind, ms);
        return TRUE;
    }
    DWORD error = ERROR_SUCCESS;
    auto object = LookupHandle(handle, error);
    if (!object) {
        return FailWith(error);
    }
    object->Timeouts().Set(kind, ms);
    return TRUE;
}

// The text is `length` characters long, or shorter when a terminator comes first.
std::string OptionText(LPVOID buffer, DWORD length)
{
    const auto* text = static_cast<const char16_t*>(buffer);
    DWORD chars = 0;
    while (chars < length && text[chars] != u'\0') {
        ++chars;
    }
    return NarrowText(text, chars);
}

BOOL SetProxyAccountPart(HINTERNET handle, DWORD option, LPVOID buffer, DWORD bufferLength)
{
    if (handle == nullptr) {
        return FailWith(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    }
    DWORD error = ERROR_SUCCESS;
    auto object = LookupHandle(handle, error);
    if (!object) {
        return FailWith(error);
    }
    if (buffer == nullptr) {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    std::string text = OptionText(buffer, bufferLength);
    const bool isUser = option == INTERNET_OPTION_PROXY_USERNAME;
    switch (object->Kind()) {
    case HandleKind::Connection: {
        auto& connection = static_cast<Connection&>(*object);
        isUser ? connection.SetProxyUser(std::move(text)) : connection.SetProxyPassword(std::move(text));
        return TRUE;
    }
    case HandleKind::Request: {
        auto& request = static_cast<Request&>(*object);
        isUser ? request.SetProxyUser(std::move(text)) : request.SetProxyPassword(std::move(text));
        return TRUE;
    }
    case HandleKind::Session: break;
    }
    return FailWith(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
}

}  // namespace

BOOL InternetSetOptionW(HINTERNET handle, DWORD option, LPVOID buffer, DWORD bufferLength)
{
    try {
        if (option == INTERNET_OPTION_END_BROWSER_SESSION) {
            // No session cookies or credentials are kept between requests, so there is
            // nothing to forget.
            return TRUE;
        }
        if (const auto kind = TimeoutKindOfOption(option)) {
            return SetTimeout(handle, *kind, buffer, bufferLength);
        }
        if (option == INTERNET_OPTION_PROXY_USERNAME || option == INTERNET_OPTION_PROXY_PASSWORD) {
            return SetProxyAccountPart(handle, option, buffer, bufferLength);
        }
        return FailWith(ERROR_INTERNET_INVALID_OPTION);
    } catch (const std::bad_alloc&) {
        return FailWith(ERROR_NOT_ENOUGH_MEMORY);
    }
}
