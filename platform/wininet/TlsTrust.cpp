#include "platform/wininet/TlsTrust.h"

#include "platform/wininet/ExtraCaFile.h"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <cstdlib>
#include <memory>
#include <string>
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

CertList LoadCertificates(const std::string& path)
{
    CertList certs;
    if (path.empty()) {
        return certs;
    }
    std::unique_ptr<BIO, BioFree> bio(BIO_new_file(path.c_str(), "r"));
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
    static const CertList certs = LoadCertificates(ExtraCaFile());
    return certs;
}

struct StoreFree {
    void operator()(X509_STORE* store) const { X509_STORE_free(store); }
};

// One store for the whole process. The system's authorities are looked up in its hashed
// certificate folder when a chain needs them, instead of parsing the whole bundle for
// every connection (that parse cost more than a 16 MiB upload); the configured
// certificates are added once.
std::unique_ptr<X509_STORE, StoreFree> MakeSharedStore()
{
    std::unique_ptr<X509_STORE, StoreFree> store(X509_STORE_new());
    if (!store)
        return store;
    if (X509_LOOKUP* folder = X509_STORE_add_lookup(store.get(), X509_LOOKUP_hash_dir())) {
        const char* fromEnvironment = std::getenv(X509_get_default_cert_dir_env());
        X509_LOOKUP_add_dir(folder, fromEnvironment ? fromEnvironment : X509_get_default_cert_dir(), X509_FILETYPE_PEM);
    }
    for (const auto& cert : ConfiguredCertificates())
        X509_STORE_add_cert(store.get(), cert.get());
    ERR_clear_error();
    return store;
}

X509_STORE* SharedStore()
{
    static const std::unique_ptr<X509_STORE, StoreFree> store = MakeSharedStore();
    return store.get();
}

}  // namespace

CURLcode AddConfiguredTrust(CURL*, void* sslCtx, void*)
{
    X509_STORE* store = SharedStore();
    if (store == nullptr)
        return CURLE_OUT_OF_MEMORY;
    SSL_CTX_set1_cert_store(static_cast<SSL_CTX*>(sslCtx), store);
    return CURLE_OK;
}

}  // namespace wininet
