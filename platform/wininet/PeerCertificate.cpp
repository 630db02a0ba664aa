#include "platform/wininet/PeerCertificate.h"

#include "platform/wininet/CurlEasy.h"
#include "platform/wininet/CurlGlobal.h"
#include "platform/wininet/Endpoint.h"

#include <string_view>

namespace wininet {

namespace {

CURLcode Configure(CURL* easy, const std::string& url, const std::string& caFile, long timeoutMs)
{
    const auto options = {
        curl_easy_setopt(easy, CURLOPT_URL, url.c_str()),
        curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L),
        curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "https"),
        curl_easy_setopt(easy, CURLOPT_PROXY, ""),
        curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L),
        curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L),
        // The authority alone: neither the system's bundle nor its folder.
        curl_easy_setopt(easy, CURLOPT_CAINFO, caFile.c_str()),
        curl_easy_setopt(easy, CURLOPT_CAPATH, nullptr),
        curl_easy_setopt(easy, CURLOPT_CERTINFO, 1L),
        curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, timeoutMs),
        curl_easy_setopt(easy, CURLOPT_CONNECT_ONLY, 1L),
    };
    for (const CURLcode rc : options) {
        if (rc != CURLE_OK)
            return rc;
    }
    return CURLE_OK;
}

// The PEM of the chain's first certificate, the server's own.
std::string ServerCertificatePem(CURL* easy)
{
    curl_certinfo* chain = nullptr;
    if (curl_easy_getinfo(easy, CURLINFO_CERTINFO, &chain) != CURLE_OK || chain == nullptr || chain->num_of_certs < 1)
        return {};
    constexpr std::string_view kField = "Cert:";
    for (const curl_slist* item = chain->certinfo[0]; item != nullptr; item = item->next) {
        const std::string_view field(item->data);
        if (field.starts_with(kField))
            return std::string(field.substr(kField.size()));
    }
    return {};
}

}  // namespace

std::string FetchVerifiedPeerCertificate(const std::string& host, unsigned short port, const std::string& caFile,
                                         long timeoutMs)
{
    if (host.empty() || caFile.empty() || !EnsureCurlGlobal())
        return {};
    const CurlEasyPtr easy(curl_easy_init());
    if (!easy)
        return {};
    if (Configure(easy.get(), RootUrl(Endpoint{.secure = true, .host = host, .port = port}), caFile, timeoutMs) !=
        CURLE_OK)
        return {};
    if (curl_easy_perform(easy.get()) != CURLE_OK)
        return {};
    return ServerCertificatePem(easy.get());
}

}  // namespace wininet
