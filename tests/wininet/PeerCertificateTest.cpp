// The certificate a server presents, fetched only after its chain and name verified
// against one authority file: what the browser is then told to accept for the host.

#include "platform/wininet/PeerCertificate.h"
#include "tests/support/WireServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

using testsupport::TestDataPath;
using testsupport::TlsMode;
using testsupport::WireServer;

namespace {

std::string FileText(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Takes connections into its backlog and never reads them: a handshake that never ends.
class SilentListener {
public:
    SilentListener() : fd_(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0 && ::listen(fd_, 4) == 0 &&
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
    }
    ~SilentListener() { ::close(fd_); }
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;
    unsigned short Port() const { return port_; }

private:
    int fd_;
    unsigned short port_ = 0;
};

constexpr long kTimeoutMs = 2000;

TEST(PeerCertificate, TheServersOwnCertificateWhenTheAuthorityVouchesForIt)
{
    WireServer server(TlsMode::Trusted);
    const std::string pem =
        wininet::FetchVerifiedPeerCertificate("127.0.0.1", server.Port(), TestDataPath("certs/ca.pem"), kTimeoutMs);
    EXPECT_EQ(pem, FileText(TestDataPath("certs/server.pem")));
    EXPECT_EQ(server.Requests().size(), 0u) << "nothing is sent beyond the handshake";
}

TEST(PeerCertificate, NothingWhenTheServerCannotBeVerified)
{
    struct Case {
        const char* name;
        TlsMode mode;
        const char* authority;
    };
    const Case cases[] = {
        {"self-signed", TlsMode::Untrusted, "certs/ca.pem"},
        {"for another host", TlsMode::WrongHost, "certs/ca.pem"},
        {"another authority", TlsMode::Trusted, "certs/untrusted.pem"},
        {"no authority file", TlsMode::Trusted, "certs/missing.pem"},
        {"plain HTTP", TlsMode::Plain, "certs/ca.pem"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WireServer server(c.mode);
        EXPECT_EQ(
            wininet::FetchVerifiedPeerCertificate("127.0.0.1", server.Port(), TestDataPath(c.authority), kTimeoutMs),
            "");
    }
}

TEST(PeerCertificate, NothingFromAnAbsentOrSilentServer)
{
    const std::string ca = TestDataPath("certs/ca.pem");
    EXPECT_EQ(wininet::FetchVerifiedPeerCertificate("127.0.0.1", testsupport::UnusedLocalPort(), ca, kTimeoutMs), "");
    SilentListener silent;
    ASSERT_NE(silent.Port(), 0);
    EXPECT_EQ(wininet::FetchVerifiedPeerCertificate("127.0.0.1", silent.Port(), ca, 300), "");
}

}  // namespace
