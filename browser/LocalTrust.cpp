#include "browser/LocalTrust.h"

#include "login/WebEndpoints.h"
#include "platform/win32/Utf.h"
#include "platform/wininet/PeerCertificate.h"

#include <gio/gio.h>
#include <webkit2/webkit2.h>

#include <cstdlib>
#include <future>
#include <memory>
#include <optional>
#include <utility>

namespace {

struct ObjectUnref {
    void operator()(gpointer object) const noexcept { g_object_unref(object); }
};
template <typename T>
using ObjectPtr = std::unique_ptr<T, ObjectUnref>;

struct ErrorFree {
    void operator()(GError* error) const noexcept { g_error_free(error); }
};
using ErrorPtr = std::unique_ptr<GError, ErrorFree>;

struct Endpoint {
    std::string name;
    unsigned short port = 443;
};

std::optional<Endpoint> ParseEndpoint(const std::string& host)
{
    const std::u16string wide = Utf8ToUtf16(host);
    const HostAndPort parts = SplitHostAndPort(wide);
    Endpoint endpoint{Utf16ToUtf8(parts.name), 443};
    if (endpoint.name.starts_with('[') && endpoint.name.ends_with(']'))
        endpoint.name = endpoint.name.substr(1, endpoint.name.size() - 2);
    if (endpoint.name.empty())
        return std::nullopt;
    if (!parts.port.empty()) {
        const long port = std::strtol(Utf16ToUtf8(parts.port).c_str(), nullptr, 10);
        if (port <= 0 || port > 65535)
            return std::nullopt;
        endpoint.port = static_cast<unsigned short>(port);
    }
    return endpoint;
}

void Allow(GTlsCertificate* certificate, const std::string& name)
{
    webkit_web_context_allow_tls_certificate_for_host(webkit_web_context_get_default(), certificate, name.c_str());
}

void AllowFileCertificates(const std::string& caFile, const std::vector<Endpoint>& endpoints)
{
    GList* list = g_tls_certificate_list_new_from_file(caFile.c_str(), nullptr);
    for (GList* item = list; item != nullptr; item = item->next) {
        for (const Endpoint& endpoint : endpoints)
            Allow(G_TLS_CERTIFICATE(item->data), endpoint.name);
    }
    g_list_free_full(list, g_object_unref);
}

// Each host's certificate in PEM, with the name it is accepted for.
using VerifiedCertificates = std::vector<std::pair<std::string, std::string>>;

// No GLib here: this runs beside the main thread's start of the browser (see
// PeerCertificate.h).
VerifiedCertificates FetchVerifiedCertificates(const std::string& caFile, const std::vector<Endpoint>& endpoints)
{
    constexpr long kTimeoutMs = 5000;
    VerifiedCertificates verified;
    for (const Endpoint& endpoint : endpoints) {
        std::string pem = wininet::FetchVerifiedPeerCertificate(endpoint.name, endpoint.port, caFile, kTimeoutMs);
        if (!pem.empty())
            verified.emplace_back(std::move(pem), endpoint.name);
    }
    return verified;
}

// The handshakes of the check, running while the browser's processes start.
std::future<VerifiedCertificates>& PendingCheck()
{
    static std::future<VerifiedCertificates> pending;
    return pending;
}

}  // namespace

void TrustLocalAuthority(const std::string& caFile, const std::vector<std::string>& hosts)
{
    if (caFile.empty())
        return;
    std::vector<Endpoint> endpoints;
    for (const std::string& host : hosts) {
        if (std::optional<Endpoint> endpoint = ParseEndpoint(host))
            endpoints.push_back(std::move(*endpoint));
    }
    AllowFileCertificates(caFile, endpoints);
    PendingCheck() = std::async(std::launch::async, FetchVerifiedCertificates, caFile, std::move(endpoints));
}

void CompleteLocalTrust()
{
    std::future<VerifiedCertificates>& pending = PendingCheck();
    if (!pending.valid())
        return;
    for (const auto& [pem, name] : pending.get()) {
        GError* rawError = nullptr;
        const ObjectPtr<GTlsCertificate> certificate(g_tls_certificate_new_from_pem(pem.c_str(), -1, &rawError));
        const ErrorPtr error(rawError);
        if (certificate)
            Allow(certificate.get(), name);
    }
}
