#pragma once
// Everything one send of a request needs, gathered from the request, its connection and
// its session, and how it is put onto a libcurl easy handle.

#include "platform/wininet/Endpoint.h"
#include "platform/wininet/Handles.h"
#include "platform/wininet/Timeouts.h"

#include <curl/curl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace wininet {

struct CurlSlistFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CurlHeaderList = std::unique_ptr<curl_slist, CurlSlistFree>;

enum class BodyKind {
    None,    // no body at all
    Fixed,   // given whole to HttpSendRequestW
    Pushed,  // announced by HttpSendRequestExW, written piece by piece
};

struct RequestPlan {
    Endpoint endpoint;
    std::string url;
    std::string verb = "GET";
    std::vector<std::string> headerLines;  // libcurl form, the caller's own first
    std::vector<std::string> acceptTypes;
    std::string userAgent;
    std::string referrer;
    ProxySettings proxy;
    Credentials proxyAccount;
    Credentials serverAccount;
    bool followRedirects = true;
    bool http10 = false;
    TimeoutValues timeouts = kBuiltInTimeouts;
    BodyKind body = BodyKind::None;
    std::string fixedBody;
    std::uint64_t pushedTotal = 0;
};

// At most this many redirects are followed.
constexpr long kMaxRedirects = 10;

// Sets every option but the callbacks, which belong to the transfer. The returned list
// must outlive the handle's use.
CURLcode ApplyPlan(CURL* easy, const RequestPlan& plan, CurlHeaderList& headers);

// The options every handle of this layer gets: TLS verification with the extra trust,
// the proxy choice, the protocols, the connect timeout.
CURLcode ApplyCommonOptions(CURL* easy, bool secure, const ProxySettings& proxy, const Credentials& proxyAccount,
                            DWORD connectTimeoutMs);

}  // namespace wininet
