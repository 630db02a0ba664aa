#include <stdexcept>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "tests/support/WireServer.h"

namespace testsupport {

std::uint16_t UnusedLocalPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        throw std::runtime_error("UnusedLocalPort: socket failed");
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    const bool ok = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    ::close(fd);
    if (!ok)
        throw std::runtime_error("UnusedLocalPort: bind failed");
    return ntohs(address.sin_port);
}

std::string TestDataPath(std::string_view relative)
{
    return std::string(ZENDRIK_TEST_DATA_DIR) + "/" + std::string(relative);
}

}  // namespace testsupport
