#include "platform/wininet/PeerCertificate.h"

#include "platform/wininet/CurlGlobal.h"

#include <curl/curl.h>

#include <memory>
#include <string_view>

namespace wininet {

namespace {

struct EasyFree {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};

std::string RootUrl(const std::string& host, unsigned short port)
{
    const bool ipv6 = host.find(':') != std::string::npos;
    return "https://" + (ipv6 ? "[" + host + "]" : host) + ":" + std::to_string(port) + "/";
}

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
    const std::unique_ptr<CURL, EasyFree> easy(curl_easy_init());
    if (!easy)
        return {};
    if (Configure(easy.get(), RootUrl(host, port), caFile, timeoutMs) != CURLE_OK)
        return {};
    if (curl_easy_perform(easy.get()) != CURLE_OK)
        return {};
    return ServerCertificatePem(easy.get());
}

}  // namespace wininet
