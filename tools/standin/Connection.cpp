#include "tools/standin/Connection.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

namespace standin {

namespace {

int PortOf(const sockaddr_storage& address)
{
    if (address.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    if (address.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    return -1;
}

bool IsConnection(int fd, int localPort, int remotePort)
{
    sockaddr_storage local{}, remote{};
    socklen_t localSize = sizeof local, remoteSize = sizeof remote;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localSize) != 0)
        return false;
    if (PortOf(local) != localPort)
        return false;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&remote), &remoteSize) != 0)
        return false;
    return PortOf(remote) == remotePort;
}

SSL* TlsOf(const httplib::Request& request) { return const_cast<SSL*>(request.ssl); }

}  // namespace

int ConnectionSocket(const httplib::Request& request)
{
    if (request.ssl)
        return SSL_get_fd(request.ssl);
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        int fd = -1;
        try {
            fd = std::stoi(entry.path().filename().string());
        } catch (const std::exception&) {
            continue;
        }
        if (IsConnection(fd, request.local_port, request.remote_port))
            return fd;
    }
    return -1;
}

bool WriteRaw(const httplib::Request& request, std::string_view bytes)
{
    if (SSL* tls = TlsOf(request)) {
        while (!bytes.empty()) {
            const int written = SSL_write(tls, bytes.data(), static_cast<int>(bytes.size()));
            if (written <= 0)
                return false;
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        return true;
    }
    const int fd = ConnectionSocket(request);
    if (fd < 0)
        return false;
    while (!bytes.empty()) {
        const ssize_t written = send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

void DropConnection(const httplib::Request& request)
{
    const int fd = ConnectionSocket(request);
    if (fd >= 0)
        shutdown(fd, SHUT_RDWR);
}

void ResetConnection(const httplib::Request& request)
{
    const int fd = ConnectionSocket(request);
    if (fd < 0)
        return;
    const linger abort{1, 0};
    setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    const int stand = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (stand < 0) {
        shutdown(fd, SHUT_RDWR);
        return;
    }
    dup2(stand, fd);
    close(stand);
}

void CloseAfterRawAnswer(const httplib::Request& request)
{
    if (SSL* tls = TlsOf(request))
        SSL_shutdown(tls);
    const int fd = ConnectionSocket(request);
    if (fd >= 0)
        shutdown(fd, SHUT_WR);
}

}  // namespace standin
