#include "tests/support/WireChannel.h"

#include <cerrno>
#include <stdexcept>
#include <string>

#include <sys/socket.h>

#include <openssl/err.h>

namespace testsupport::detail {
namespace {

// Room for a whole TLS record plus its overhead, so that a read-ahead takes several
// records per system call.
constexpr long kTlsReadBuffer = 256 * 1024;

std::size_t ReadPlain(int fd, char* buffer, std::size_t capacity)
{
    for (;;) {
        const ssize_t n = ::recv(fd, buffer, capacity, 0);
        if (n > 0)
            return static_cast<std::size_t>(n);
        if (n < 0 && errno == EINTR)
            continue;
        return 0;
    }
}

bool WritePlain(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

}  // namespace

WireChannel::WireChannel(int fd, SSL_CTX* context) : fd_(fd)
{
    if (!context)
        return;
    ssl_.reset(SSL_new(context));
    if (!ssl_ || SSL_set_fd(ssl_.get(), fd) != 1)
        ssl_.reset();
    if (!ssl_)
        throw std::runtime_error("WireServer: cannot make a TLS session");
}

bool WireChannel::Open()
{
    if (!ssl_)
        return true;
    const bool ok = SSL_accept(ssl_.get()) == 1;
    ERR_clear_error();  // a client that rejects our certificate is what some tests want
    return ok;
}

std::size_t WireChannel::Read(char* buffer, std::size_t capacity)
{
    if (!ssl_)
        return ReadPlain(fd_, buffer, capacity);
    std::size_t n = 0;
    if (SSL_read_ex(ssl_.get(), buffer, capacity, &n) == 1)
        return n;
    ERR_clear_error();
    return 0;
}

bool WireChannel::Write(std::string_view bytes)
{
    if (!ssl_)
        return WritePlain(fd_, bytes);
    std::size_t written = 0;
    const bool ok = bytes.empty() || SSL_write_ex(ssl_.get(), bytes.data(), bytes.size(), &written) == 1;
    if (!ok)
        ERR_clear_error();
    return ok;
}

SslContextPtr MakeServerContext(const std::string& certificateFile, const std::string& keyFile)
{
    SslContextPtr context(SSL_CTX_new(TLS_server_method()));
    if (!context)
        throw std::runtime_error("WireServer: cannot make a TLS context");
    if (SSL_CTX_use_certificate_chain_file(context.get(), certificateFile.c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(context.get(), keyFile.c_str(), SSL_FILETYPE_PEM) != 1) {
        ERR_clear_error();
        throw std::runtime_error("WireServer: cannot load " + certificateFile);
    }
    SSL_CTX_set_options(context.get(), SSL_OP_IGNORE_UNEXPECTED_EOF);
    SSL_CTX_set_read_ahead(context.get(), 1);
    SSL_CTX_set_default_read_buffer_len(context.get(), kTlsReadBuffer);
    return context;
}

}  // namespace testsupport::detail
