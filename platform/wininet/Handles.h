#pragma once
// What an HINTERNET points to: a session, a connection or a request object. Handles are
// kept in a table, so that a handle that was closed or never existed is recognised; a
// child keeps its parent alive, so closing handles in any order is safe.

#include "platform/wininet/Timeouts.h"
#include "platform/wininet/WinInet.h"

#include <memory>
#include <mutex>
#include <string>

namespace wininet {

enum class HandleKind { Session, Connection, Request };

class InternetObject {
public:
    explicit InternetObject(HandleKind kind) : kind_(kind) {}
    virtual ~InternetObject() = default;
    InternetObject(const InternetObject&) = delete;
    InternetObject& operator=(const InternetObject&) = delete;

    HandleKind Kind() const { return kind_; }
    TimeoutOverrides& Timeouts() { return timeouts_; }
    const TimeoutOverrides& Timeouts() const { return timeouts_; }

    // The handle was closed; a request still working on another thread gives up.
    virtual void OnClose() {}

private:
    HandleKind kind_;
    TimeoutOverrides timeouts_;
};

struct ProxySettings {
    DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG;
    std::string proxy;   // for INTERNET_OPEN_TYPE_PROXY
    std::string bypass;  // host list, as the platform writes it
};

struct Credentials {
    std::string user;
    std::string password;
};

class Session : public InternetObject {
public:
    Session(std::string userAgent, ProxySettings proxy)
        : InternetObject(HandleKind::Session),
          userAgent_(std::move(userAgent)),
          proxy_(std::move(proxy))
    {
        Timeouts().SetAll(DefaultTimeouts());
    }

    const std::string& UserAgent() const { return userAgent_; }
    const ProxySettings& Proxy() const { return proxy_; }

private:
    std::string userAgent_;
    ProxySettings proxy_;
};

class Connection : public InternetObject {
public:
    Connection(std::shared_ptr<const Session> session, std::string host, INTERNET_PORT port, Credentials server)
        : InternetObject(HandleKind::Connection),
          session_(std::move(session)),
          host_(std::move(host)),
          port_(port),
          server_(std::move(server))
    {
    }

    const Session& OwnerSession() const { return *session_; }
    const std::string& Host() const { return host_; }
    INTERNET_PORT Port() const { return port_; }
    const Credentials& Server() const { return server_; }

    void SetProxyUser(std::string user);
    void SetProxyPassword(std::string password);
    Credentials ProxyAccount() const;

private:
    std::shared_ptr<const Session> session_;
    std::string host_;
    INTERNET_PORT port_;
    Credentials server_;
    mutable std::mutex proxyLock_;
    Credentials proxyAccount_;
};

HINTERNET RegisterHandle(std::shared_ptr<InternetObject> object);

// The live object behind a handle, or null with `error` ERROR_INVALID_HANDLE (unknown
// handle) or ERROR_INTERNET_INCORRECT_HANDLE_TYPE (another kind).
std::shared_ptr<InternetObject> LookupHandle(HINTERNET handle, DWORD& error);

template <class T>
std::shared_ptr<T> LookupHandleAs(HINTERNET handle, HandleKind kind, DWORD& error)
{
    auto object = LookupHandle(handle, error);
    if (!object) {
        return nullptr;
    }
    if (object->Kind() != kind) {
        error = ERROR_INTERNET_INCORRECT_HANDLE_TYPE;
        return nullptr;
    }
    return std::static_pointer_cast<T>(object);
}

// Removes the handle from the table; the object lives on while children or running calls
// hold it. Null when the handle is unknown.
std::shared_ptr<InternetObject> UnregisterHandle(HINTERNET handle);

}  // namespace wininet
