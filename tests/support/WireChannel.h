#pragma once
// One accepted connection's byte stream, plain or TLS. The socket itself belongs to
// the server (it closes it under its lock, so that a stopping server never shuts down
// a descriptor number that has already been reused).

#include <cstddef>
#include <memory>
#include <string_view>

#include <openssl/ssl.h>

namespace testsupport::detail {

struct SslDeleter {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
    void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
};
using SslPtr = std::unique_ptr<SSL, SslDeleter>;
using SslContextPtr = std::unique_ptr<SSL_CTX, SslDeleter>;

class WireChannel {
public:
    // context is null for plain HTTP.
    WireChannel(int fd, SSL_CTX* context);

    // The TLS handshake; always true for plain HTTP.
    bool Open();
    // Bytes read (> 0), or 0 when the peer closed, the connection broke or the server stops.
    std::size_t Read(char* buffer, std::size_t capacity);
    bool Write(std::string_view bytes);

private:
    int fd_;
    SslPtr ssl_;
};

// The certificate and key a TLS test server presents.
SslContextPtr MakeServerContext(const std::string& certificateFile, const std::string& keyFile);

}  // namespace testsupport::detail
