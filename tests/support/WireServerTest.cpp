// The wire server is what every wire test trusts, so its own record is checked
// against independent clients: a raw socket and the curl command.

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/WireServer.h"

namespace testsupport {
namespace {

constexpr std::size_t kMiB = 1024 * 1024;

class RawClient {
public:
    explicit RawClient(std::uint16_t port) : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        timeval timeout{20, 0};  // a server that hangs fails the test instead of stalling it
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~RawClient() { ::close(fd_); }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool connected() const { return connected_; }

    void Send(const std::string& bytes)
    {
        ASSERT_EQ(::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
    }

    // One reply, read up to the end of its Content-Length body.
    std::string ReadReply()
    {
        std::string reply;
        std::size_t headEnd = std::string::npos;
        while ((headEnd = reply.find("\r\n\r\n")) == std::string::npos)
            if (!ReadMore(reply))
                return reply;
        const auto lengthAt = reply.find("Content-Length: ");
        if (lengthAt == std::string::npos)
            return reply;
        const std::size_t total = headEnd + 4 + std::stoul(reply.substr(lengthAt + 16));
        while (reply.size() < total)
            if (!ReadMore(reply))
                break;
        return reply;
    }

    // Everything up to and including `end`.
    std::string ReadUntil(const std::string& end)
    {
        std::string reply;
        while (!reply.ends_with(end))
            if (!ReadMore(reply))
                break;
        return reply;
    }

    // What a read returns once the server has given up on the connection: 0 for an
    // orderly close, -1 with errno ECONNRESET for an abort.
    ssize_t ReadAfterCut(int& error)
    {
        char byte = 0;
        const ssize_t n = ::recv(fd_, &byte, 1, 0);
        error = errno;
        return n;
    }

private:
    bool ReadMore(std::string& into)
    {
        char buffer[4096];
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n <= 0)
            return false;
        into.append(buffer, static_cast<std::size_t>(n));
        return true;
    }

    int fd_;
    bool connected_ = false;
};

class TempFile {
public:
    explicit TempFile(const std::string& content)
        : path_(std::filesystem::temp_directory_path() /
                ("wire-server-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++)))
    {
        std::ofstream(path_, std::ios::binary) << content;
    }
    ~TempFile() { std::filesystem::remove(path_); }
    std::string path() const { return path_.string(); }

private:
    static inline int counter_ = 0;
    std::filesystem::path path_;
};

// Exit code of curl, which never goes through a proxy here.
int Curl(const std::string& arguments)
{
    const std::string command = "curl -sS --noproxy '*' --max-time 60 -o /dev/null --cacert " +
                                TestDataPath("certs/ca.pem") + " " + arguments + " 2>/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Pattern(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + i / 977) & 0xff);
    return bytes;
}

TEST(WireServer, RecordsRequestsByteForByteOnOneKeptAliveConnection)
{
    WireServer server(TlsMode::Plain);
    server.Script("/me",
                  {.status = 201, .reason = "Created", .headers = {{"X-Scripted", "yes"}}, .body = "{\"id\":1}"});
    RawClient client(server.Port());
    ASSERT_TRUE(client.connected());

    const std::string first = "GET /me?fields=id HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Odd:   spaced value \r\n\r\n";
    client.Send(first);
    const std::string reply1 = client.ReadReply();
    EXPECT_EQ(reply1, "HTTP/1.1 201 Created\r\nX-Scripted: yes\r\nContent-Length: 8\r\n\r\n{\"id\":1}");

    const std::string second = "GET /other HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    client.Send(second);
    EXPECT_EQ(client.ReadReply(), "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n{}");

    ASSERT_TRUE(server.WaitForRequests(2));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].raw, first);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/me?fields=id");
    EXPECT_EQ(requests[0].version, "HTTP/1.1");
    EXPECT_EQ(requests[0].Header("x-odd"), "spaced value");
    EXPECT_FALSE(requests[0].Header("Content-Length"));
    EXPECT_TRUE(requests[0].complete);
    EXPECT_EQ(requests[1].raw, second);
    EXPECT_EQ(server.ConnectionsAccepted(), 1u);
}

TEST(WireServer, ReceivesAWholeMebibyteOverTlsFromCurl)
{
    WireServer server(TlsMode::Trusted);
    const std::string content = Pattern(kMiB);
    TempFile file(content);

    ASSERT_EQ(Curl("--data-binary @" + file.path() + " " + server.BaseUrl() + "/upload"), 0);

    ASSERT_TRUE(server.WaitForRequests(1));
    const auto request = server.Requests().at(0);
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.Header("Content-Length"), std::to_string(kMiB));
    EXPECT_TRUE(request.complete);
    EXPECT_EQ(request.bodyBytesReceived, kMiB);
    EXPECT_TRUE(request.body == content);
    EXPECT_TRUE(request.raw.ends_with(content));
}

TEST(WireServer, DechunksAChunkedBodyAndKeepsItsFraming)
{
    WireServer server(TlsMode::Plain);
    RawClient client(server.Port());
    ASSERT_TRUE(client.connected());
    const std::string sent = "POST /chunks HTTP/1.1\r\nHost: 127.0.0.1\r\nTransfer-Encoding: chunked\r\n\r\n"
                             "5;name=value\r\nhello\r\n6\r\n world\r\n0\r\nX-Trailer: t\r\n\r\n";
    for (std::size_t at = 0; at < sent.size(); at += 7) {
        client.Send(sent.substr(at, 7));
        ::usleep(1000);  // pieces that split every line and chunk somewhere
    }
    EXPECT_TRUE(client.ReadReply().starts_with("HTTP/1.1 200 OK\r\n"));

    ASSERT_TRUE(server.WaitForRequests(1));
    const auto request = server.Requests().at(0);
    EXPECT_EQ(request.body, "hello world");
    EXPECT_EQ(request.bodyBytesReceived, 11u);
    EXPECT_EQ(request.raw, sent);
    EXPECT_TRUE(request.complete);
}

TEST(WireServer, CertificatesThatMustFailVerificationDo)
{
    for (const TlsMode mode : {TlsMode::Untrusted, TlsMode::WrongHost}) {
        WireServer server(mode);
        EXPECT_EQ(Curl(server.BaseUrl() + "/"), 60) << "mode " << static_cast<int>(mode);  // peer not verified
        EXPECT_TRUE(server.Requests().empty());
    }
}

TEST(WireServer, CutsTheBodyWithAnOrderlyCloseOrAReset)
{
    for (const Misbehaviour cut : {Misbehaviour::CloseAfterBodyBytes, Misbehaviour::ResetAfterBodyBytes}) {
        WireServer server(TlsMode::Plain);
        server.Script("/cut", {.misbehaviour = cut, .afterBodyBytes = 1000});
        RawClient client(server.Port());
        ASSERT_TRUE(client.connected());
        client.Send("POST /cut HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Length: 5000\r\n\r\n");
        client.Send(std::string(1000, 'x'));

        int error = 0;
        const ssize_t n = client.ReadAfterCut(error);
        if (cut == Misbehaviour::CloseAfterBodyBytes) {
            EXPECT_EQ(n, 0);
        } else {
            EXPECT_EQ(n, -1);
            EXPECT_EQ(error, ECONNRESET);
        }
        ASSERT_TRUE(server.WaitForRequests(1));
        const auto request = server.Requests().at(0);
        EXPECT_EQ(request.bodyBytesReceived, 1000u);
        EXPECT_EQ(request.body, std::string(1000, 'x'));
        EXPECT_FALSE(request.complete);
        EXPECT_TRUE(server.WaitForOpenConnections(0));
    }
}

TEST(WireServer, SendsAnInterimStatusBeforeTheReply)
{
    WireServer server(TlsMode::Plain);
    server.Script("/slow", {.delay = std::chrono::milliseconds(50), .interimStatus = 102});
    RawClient client(server.Port());
    ASSERT_TRUE(client.connected());
    client.Send("GET /slow HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    const std::string reply = client.ReadUntil("{}");
    EXPECT_EQ(reply, "HTTP/1.1 102 Processing\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n{}");
}

TEST(WireServer, StopsWhileAConnectionWaitsForAnAnswerThatNeverComes)
{
    auto server = std::make_unique<WireServer>(TlsMode::Plain);
    server->Script("/", {.misbehaviour = Misbehaviour::NeverAnswer});
    RawClient client(server->Port());
    ASSERT_TRUE(client.connected());
    client.Send("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    ASSERT_TRUE(server->WaitForRequests(1));
    EXPECT_EQ(server->OpenConnections(), 1u);

    server.reset();  // must not wait for the client
    int error = 0;
    EXPECT_LE(client.ReadAfterCut(error), 0);
}

TEST(WireServer, DiscardModeCountsTheBodyWithoutKeepingIt)
{
    WireServer server(TlsMode::Trusted);
    server.SetDiscardBodies(true);
    TempFile file(Pattern(kMiB));

    ASSERT_EQ(Curl("-H 'Transfer-Encoding: chunked' --data-binary @" + file.path() + " " + server.BaseUrl() +
                   "/upload " + "--next --cacert " + TestDataPath("certs/ca.pem") + " --noproxy '*' -o /dev/null" +
                   " --data-binary @" + file.path() + " " + server.BaseUrl() + "/upload"),
              0);

    ASSERT_TRUE(server.WaitForRequests(2));
    for (const auto& request : server.Requests()) {
        EXPECT_TRUE(request.complete);
        EXPECT_EQ(request.bodyBytesReceived, kMiB);
        EXPECT_TRUE(request.body.empty());
        EXPECT_TRUE(request.raw.ends_with("\r\n\r\n"));
        EXPECT_LT(request.raw.size(), 1024u);
    }
}

}  // namespace
}  // namespace testsupport
