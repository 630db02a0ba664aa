#include "platform/wininet/TlsTrust.h"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace wininet {

namespace {

struct X509Free {
    void operator()(X509* cert) const { X509_free(cert); }
};
struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};

using CertList = std::vector<std::unique_ptr<X509, X509Free>>;

CertList LoadCertificates(const char* path)
{
    CertList certs;
    if (path == nullptr || *path == '\0') {
        return certs;
    }
    std::unique_ptr<BIO, BioFree> bio(BIO_new_file(path, "r"));
    if (!bio) {
        ERR_clear_error();
        return certs;
    }
    while (X509* cert = PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr)) {
        certs.emplace_back(cert);
    }
    // Reading stops with an "no start line" error at the end of the file.
    ERR_clear_error();
    return certs;
}

const CertList& ConfiguredCertificates()
{
    static const CertList certs = LoadCertificates(std::getenv(kExtraCaFileVariable));
    return certs;
}

}  // namespace

CURLcode AddConfiguredTrust(CURL*, void* sslCtx, void*)
{
    X509_STORE* store = SSL_CTX_get_cert_store(static_cast<SSL_CTX*>(sslCtx));
    if (store == nullptr) {
        return CURLE_OK;
    }
    for (const auto& cert : ConfiguredCertificates()) {
        // A certificate already in the store (a shared store) is not an error worth failing for.
        X509_STORE_add_cert(store, cert.get());
    }
    ERR_clear_error();
    return CURLE_OK;
}

}  // namespace wininet
