#include "browser/LocalTrust.h"

#include "login/WebEndpoints.h"
#include "platform/win32/Utf.h"

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
    guint16 port = 443;
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
        endpoint.port = static_cast<guint16>(port);
    }
    return endpoint;
}

// The peer's certificate after a handshake verified against the authority alone.
ObjectPtr<GTlsCertificate> FetchVerifiedCertificate(const Endpoint& endpoint, GTlsDatabase* authority)
{
    GError* rawError = nullptr;
    const ObjectPtr<GSocketClient> client(g_socket_client_new());
    g_socket_client_set_timeout(client.get(), 5);
    const ObjectPtr<GSocketConnection> connection(
        g_socket_client_connect_to_host(client.get(), endpoint.name.c_str(), endpoint.port, nullptr, &rawError));
    ErrorPtr error(rawError);
    if (!connection)
        return nullptr;
    const ObjectPtr<GSocketConnectable> identity(g_network_address_new(endpoint.name.c_str(), endpoint.port));
    const ObjectPtr<GIOStream> tls(
        g_tls_client_connection_new(G_IO_STREAM(connection.get()), identity.get(), &rawError));
    error.reset(rawError);
    if (!tls)
        return nullptr;
    g_tls_connection_set_database(G_TLS_CONNECTION(tls.get()), authority);
    const gboolean shaken = g_tls_connection_handshake(G_TLS_CONNECTION(tls.get()), nullptr, &rawError);
    error.reset(rawError);
    ObjectPtr<GTlsCertificate> certificate;
    if (shaken) {
        if (GTlsCertificate* peer = g_tls_connection_get_peer_certificate(G_TLS_CONNECTION(tls.get())))
            certificate.reset(G_TLS_CERTIFICATE(g_object_ref(peer)));
    }
    g_io_stream_close(tls.get(), nullptr, nullptr);
    return certificate;
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

using VerifiedCertificates = std::vector<std::pair<ObjectPtr<GTlsCertificate>, std::string>>;

VerifiedCertificates FetchVerifiedCertificates(const std::string& caFile, const std::vector<Endpoint>& endpoints)
{
    VerifiedCertificates verified;
    GError* rawError = nullptr;
    const ObjectPtr<GTlsDatabase> authority(g_tls_file_database_new(caFile.c_str(), &rawError));
    const ErrorPtr error(rawError);
    if (!authority)
        return verified;
    for (const Endpoint& endpoint : endpoints) {
        if (ObjectPtr<GTlsCertificate> certificate = FetchVerifiedCertificate(endpoint, authority.get()))
            verified.emplace_back(std::move(certificate), endpoint.name);
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
    for (const auto& [certificate, name] : pending.get())
        Allow(certificate.get(), name);
}
