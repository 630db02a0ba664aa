#pragma once
// The request object behind a request handle: what HttpOpenRequestA recorded, the header
// lines added to it, and the transfer of its latest send.

#include "platform/wininet/Handles.h"
#include "platform/wininet/HeaderList.h"
#include "platform/wininet/Transfer.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wininet {

struct RequestOptions {
    std::string verb = "GET";
    std::string objectName = "/";
    std::string version;
    std::string referrer;
    std::vector<std::string> acceptTypes;
    DWORD flags = 0;
};

class Request : public InternetObject {
public:
    Request(std::shared_ptr<Connection> connection, RequestOptions options);

    // Each returns 0 or the error number for the thread's last error.
    DWORD AddHeaders(std::string_view text, DWORD modifiers);
    // The whole exchange: extra header lines for this send, an optional body.
    DWORD Send(std::string_view extraHeaders, std::string body);
    // Starts a request whose body of `total` bytes follows through Write and End.
    DWORD SendEx(std::string_view extraHeaders, std::uint64_t total);
    DWORD Write(const BYTE* bytes, DWORD count);
    DWORD End();
    DWORD Read(BYTE* buffer, DWORD count, DWORD& got);
    DWORD StatusCode(int& code) const;
    DWORD StatusText(std::string& text) const;

    void SetProxyUser(std::string user);
    void SetProxyPassword(std::string password);

    void OnClose() override;

private:
    enum class State { Ready, Sending, Responded };

    DWORD MakePlan(std::string_view extraHeaders, RequestPlan& plan) const;
    DWORD Begin(RequestPlan plan);
    Credentials ProxyAccount() const;

    std::shared_ptr<Connection> connection_;
    RequestOptions options_;
    HeaderList headers_;
    State state_ = State::Ready;

    // Guards the pointer only, so that a close on another thread can cancel the transfer
    // that the owning thread is driving.
    mutable std::mutex transferLock_;
    std::unique_ptr<Transfer> transfer_;
    bool closed_ = false;

    mutable std::mutex proxyLock_;
    std::optional<std::string> proxyUser_;
    std::optional<std::string> proxyPassword_;
};

}  // namespace wininet
