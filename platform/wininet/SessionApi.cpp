// InternetOpenW, InternetConnectW and InternetCloseHandle.

#include "platform/wininet/ApiSupport.h"
#include "platform/wininet/CurlGlobal.h"
#include "platform/wininet/Handles.h"
#include "platform/wininet/WinInet.h"

#include <memory>
#include <new>

using namespace wininet;

HINTERNET InternetOpenW(LPCWSTR userAgent, DWORD accessType, LPCWSTR proxy, LPCWSTR proxyBypass, DWORD flags)
{
    if (flags & INTERNET_FLAG_ASYNC) {
        return FailHandle(ERROR_INVALID_PARAMETER);
    }
    ProxySettings settings;
    switch (accessType) {
    case INTERNET_OPEN_TYPE_PRECONFIG:
    case INTERNET_OPEN_TYPE_PRECONFIG_WITH_NO_AUTOPROXY: settings.accessType = INTERNET_OPEN_TYPE_PRECONFIG; break;
    case INTERNET_OPEN_TYPE_DIRECT: settings.accessType = INTERNET_OPEN_TYPE_DIRECT; break;
    case INTERNET_OPEN_TYPE_PROXY:
        settings.accessType = INTERNET_OPEN_TYPE_PROXY;
        settings.proxy = NarrowText(proxy);
        settings.bypass = NarrowText(proxyBypass);
        if (settings.proxy.empty()) {
            return FailHandle(ERROR_INVALID_PARAMETER);
        }
        break;
    default: return FailHandle(ERROR_INVALID_PARAMETER);
    }
    if (!EnsureCurlGlobal()) {
        return FailHandle(ERROR_INTERNET_INTERNAL_ERROR);
    }
    try {
        return RegisterHandle(std::make_shared<Session>(NarrowText(userAgent), std::move(settings)));
    } catch (const std::bad_alloc&) {
        return FailHandle(ERROR_NOT_ENOUGH_MEMORY);
    }
}

HINTERNET InternetConnectW(HINTERNET session, LPCWSTR serverName, INTERNET_PORT serverPort, LPCWSTR userName,
                           LPCWSTR password, DWORD service, DWORD, DWORD_PTR)
{
    DWORD error = ERROR_SUCCESS;
    auto owner = LookupHandleAs<Session>(session, HandleKind::Session, error);
    if (!owner) {
        return FailHandle(error);
    }
    if (serverName == nullptr || *serverName == u'\0') {
        return FailHandle(ERROR_INVALID_PARAMETER);
    }
    if (service != INTERNET_SERVICE_HTTP) {
        return FailHandle(ERROR_INTERNET_PROTOCOL_NOT_FOUND);
    }
    try {
        // Only recorded here: the connection is made when a request is sent.
        auto connection = std::make_shared<Connection>(std::move(owner), NarrowText(serverName), serverPort,
                                                       Credentials{NarrowText(userName), NarrowText(password)});
        return RegisterHandle(std::move(connection));
    } catch (const std::bad_alloc&) {
        return FailHandle(ERROR_NOT_ENOUGH_MEMORY);
    }
}

BOOL InternetCloseHandle(HINTERNET handle)
{
    auto object = UnregisterHandle(handle);
    if (!object) {
        return FailWith(ERROR_INVALID_HANDLE);
    }
    object->OnClose();
    return TRUE;
}
