// InternetCheckConnectionW: can a TCP connection (and for https a TLS session) be made to
// the address's host and port? Nothing is sent beyond the handshake.

#include "platform/wininet/ApiSupport.h"
#include "platform/wininet/CurlEasy.h"
#include "platform/wininet/CurlGlobal.h"
#include "platform/wininet/Endpoint.h"
#include "platform/wininet/ErrorMapping.h"
#include "platform/wininet/RequestPlan.h"
#include "platform/wininet/WinInet.h"

#include <curl/curl.h>

#include <memory>
#include <new>

using namespace wininet;

namespace {

DWORD Probe(const Endpoint& endpoint)
{
    if (!EnsureCurlGlobal()) {
        return ERROR_INTERNET_INTERNAL_ERROR;
    }
    CurlEasyPtr easy(curl_easy_init());
    if (!easy) {
        return ERROR_NOT_ENOUGH_MEMORY;
    }
    const std::string url = RootUrl(endpoint);
    CURLcode rc =
        ApplyCommonOptions(easy.get(), endpoint.secure, ProxySettings{}, Credentials{}, DefaultTimeouts().connectMs);
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(easy.get(), CURLOPT_URL, url.c_str());
    }
    if (rc == CURLE_OK) {
        rc = curl_easy_setopt(easy.get(), CURLOPT_CONNECT_ONLY, 1L);
    }
    if (rc == CURLE_OK) {
        rc = curl_easy_perform(easy.get());
    }
    return InternetErrorFromCurl(OutcomeOf(easy.get(), rc));
}

}  // namespace

BOOL InternetCheckConnectionW(LPCWSTR url, DWORD, DWORD)
{
    if (url == nullptr || *url == u'\0') {
        return FailWith(ERROR_INVALID_PARAMETER);
    }
    try {
        DWORD error = ERROR_SUCCESS;
        const auto endpoint = ParseHttpUrl(NarrowText(url), error);
        if (!endpoint) {
            return FailWith(error);
        }
        if (IsReservedInvalidName(endpoint->host)) {
            return FailWith(ERROR_INTERNET_NAME_NOT_RESOLVED);
        }
        return Outcome(Probe(*endpoint));
    } catch (const std::bad_alloc&) {
        return FailWith(ERROR_NOT_ENOUGH_MEMORY);
    }
}
