#include "tests/support/WireServer.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <list>
#include <map>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include "tests/support/RequestParser.h"
#include "tests/support/WireChannel.h"

namespace testsupport {
namespace {

using detail::RequestParser;
using detail::WireChannel;

// Large enough that a fast client's upload takes few system calls per megabyte.
constexpr std::size_t kReadBuffer = 256 * 1024;

bool EqualNoCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

bool HasHeader(const std::vector<std::pair<std::string, std::string>>& headers, std::string_view name)
{
    return std::any_of(headers.begin(), headers.end(), [&](const auto& h) { return EqualNoCase(h.first, name); });
}

std::string InterimReason(int status)
{
    switch (status) {
    case 100: return "Continue";
    case 101: return "Switching Protocols";
    case 102: return "Processing";
    case 103: return "Early Hints";
    default: return "Interim";
    }
}

std::string StatusLine(int status, const std::string& reason)
{
    return "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\n";
}

bool WantsClose(const RecordedRequest& request)
{
    const auto connection = request.Header("Connection");
    if (request.version == "HTTP/1.0")
        return !connection || !EqualNoCase(*connection, "keep-alive");
    return connection && EqualNoCase(*connection, "close");
}

bool ExpectsContinue(const RecordedRequest& request)
{
    const auto expect = request.Header("Expect");
    return request.version == "HTTP/1.1" && expect && EqualNoCase(*expect, "100-continue");
}

bool CutsBody(Misbehaviour m)
{
    return m == Misbehaviour::CloseAfterBodyBytes || m == Misbehaviour::ResetAfterBodyBytes;
}

bool ScriptedClose(const ScriptedReply& reply)
{
    return std::any_of(reply.headers.begin(), reply.headers.end(), [](const auto& h) {
        return EqualNoCase(h.first, "Connection") && EqualNoCase(h.second, "close");
    });
}

std::string FormatReply(const ScriptedReply& reply, bool headRequest, bool closing)
{
    const bool noBody = reply.status == 204 || reply.status == 304;
    std::string out = StatusLine(reply.status, reply.reason);
    for (const auto& [name, value] : reply.headers)
        out += name + ": " + value + "\r\n";
    if (!HasHeader(reply.headers, "Content-Length"))
        out += "Content-Length: " + std::to_string(noBody ? 0 : reply.body.size()) + "\r\n";
    if (closing && !HasHeader(reply.headers, "Connection"))
        out += "Connection: close\r\n";
    out += "\r\n";
    if (!noBody && !headRequest)
        out += reply.body;
    return out;
}

struct CertificateFiles {
    const char* certificate;
    const char* key;
};

CertificateFiles CertificatesFor(TlsMode mode)
{
    switch (mode) {
    case TlsMode::Untrusted: return {"certs/untrusted.pem", "certs/untrusted-key.pem"};
    case TlsMode::WrongHost: return {"certs/wrong-host.pem", "certs/wrong-host-key.pem"};
    case TlsMode::Trusted:
    case TlsMode::Plain: break;
    }
    return {"certs/server.pem", "certs/server-key.pem"};
}

// How reading one request ended.
enum class Ending { Complete, Cut, PeerGone, Malformed };

// How a connection's socket is to be closed.
enum class Closing { Normal, Reset };

}  // namespace

struct WireServer::Impl {
    struct Connection {
        int fd = -1;
        bool finished = false;
        std::thread thread;
    };

    // Bytes read from a connection but not yet taken by a request.
    struct Input {
        std::vector<char> buffer = std::vector<char>(kReadBuffer);
        std::size_t begin = 0;
        std::size_t end = 0;
    };

    explicit Impl(TlsMode mode);
    ~Impl();

    void Listen();
    void AcceptLoop();
    void StartConnection(int fd);
    void ReapFinished();
    void Serve(Connection& connection);
    Closing ServeRequests(WireChannel& channel);
    Ending ReadRequest(WireChannel& channel, Input& input, RequestParser& parser, ScriptedReply& reply);
    void OnHeaders(WireChannel& channel, RequestParser& parser, ScriptedReply& reply);
    ScriptedReply ReplyFor(const std::string& target) const;
    void Record(RequestParser& parser);
    bool Answer(WireChannel& channel, const ScriptedReply& reply, bool headRequest, bool closing);
    void Hold(WireChannel& channel, Input& input);
    bool Sleep(std::chrono::milliseconds delay);  // false when the server stops meanwhile
    void Close(Connection& connection, Closing how);

    TlsMode tls;
    detail::SslContextPtr context;
    int listenFd = -1;
    std::uint16_t port = 0;
    std::thread acceptThread;

    mutable std::mutex mutex;
    mutable std::condition_variable changed;
    bool stopping = false;
    bool discard = false;
    std::map<std::string, ScriptedReply> scripts;
    std::vector<RecordedRequest> requests;
    std::size_t accepted = 0;
    std::size_t open = 0;
    std::list<Connection> connections;
};

WireServer::Impl::Impl(TlsMode mode) : tls(mode)
{
    // A client that vanishes while we write must not kill the test process; TLS writes
    // go through write(2), which has no MSG_NOSIGNAL.
    std::signal(SIGPIPE, SIG_IGN);
    if (tls != TlsMode::Plain) {
        const auto files = CertificatesFor(tls);
        context = detail::MakeServerContext(TestDataPath(files.certificate), TestDataPath(files.key));
    }
    Listen();
    acceptThread = std::thread([this] { AcceptLoop(); });
}

WireServer::Impl::~Impl()
{
    {
        std::lock_guard lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    ::shutdown(listenFd, SHUT_RDWR);  // wakes the blocked accept
    acceptThread.join();
    ::close(listenFd);
    {
        std::lock_guard lock(mutex);
        for (auto& c : connections)
            if (c.fd >= 0)
                ::shutdown(c.fd, SHUT_RDWR);  // wakes blocked reads and writes
    }
    for (auto& c : connections)
        c.thread.join();
}

void WireServer::Impl::Listen()
{
    listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listenFd < 0)
        throw std::runtime_error("WireServer: socket failed");
    const int on = 1;
    ::setsockopt(listenFd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(listenFd, 128) != 0 ||
        ::getsockname(listenFd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(listenFd);
        throw std::runtime_error("WireServer: cannot listen on 127.0.0.1");
    }
    port = ntohs(address.sin_port);
}

void WireServer::Impl::AcceptLoop()
{
    for (;;) {
        const int fd = ::accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        const int error = errno;
        {
            std::lock_guard lock(mutex);
            if (stopping) {
                if (fd >= 0)
                    ::close(fd);
                return;
            }
        }
        if (fd < 0) {
            if (error != EINTR)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        ReapFinished();
        StartConnection(fd);
    }
}

void WireServer::Impl::StartConnection(int fd)
{
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    std::lock_guard lock(mutex);
    auto& connection = connections.emplace_back();
    connection.fd = fd;
    ++accepted;
    ++open;
    try {
        connection.thread = std::thread([this, &connection] { Serve(connection); });
    } catch (const std::system_error&) {
        connections.pop_back();
        ::close(fd);
        --open;
    }
    changed.notify_all();
}

void WireServer::Impl::ReapFinished()
{
    std::list<Connection> done;
    {
        std::lock_guard lock(mutex);
        for (auto it = connections.begin(); it != connections.end();) {
            const auto next = std::next(it);
            if (it->finished)
                done.splice(done.end(), connections, it);
            it = next;
        }
    }
    for (auto& c : done)
        c.thread.join();
}

void WireServer::Impl::Serve(Connection& connection)
{
    Closing how = Closing::Normal;
    try {
        WireChannel channel(connection.fd, context.get());
        if (channel.Open())
            how = ServeRequests(channel);
    } catch (const std::exception&) {
        // Out of memory or no TLS session: drop this connection, keep serving others.
    }
    Close(connection, how);
}

Closing WireServer::Impl::ServeRequests(WireChannel& channel)
{
    Input input;
    for (;;) {
        bool discardThis = false;
        {
            std::lock_guard lock(mutex);
            discardThis = discard;
        }
        RequestParser parser(discardThis);
        ScriptedReply reply;
        const Ending ending = ReadRequest(channel, input, parser, reply);
        if (ending == Ending::PeerGone) {
            if (parser.Started())
                Record(parser);
            return Closing::Normal;
        }
        const RecordedRequest& request = parser.Request();
        const bool headRequest = request.method == "HEAD";
        const bool closing = WantsClose(request) || ScriptedClose(reply);
        if (ending == Ending::Malformed) {
            ScriptedReply bad{.status = 400, .reason = "Bad Request", .body = "malformed request"};
            const std::string answer = FormatReply(bad, headRequest, true);
            Record(parser);
            channel.Write(answer);
            return Closing::Normal;
        }
        if (CutsBody(reply.misbehaviour)) {
            Record(parser);
            return reply.misbehaviour == Misbehaviour::ResetAfterBodyBytes ? Closing::Reset : Closing::Normal;
        }
        Record(parser);
        switch (reply.misbehaviour) {
        case Misbehaviour::NeverAnswer: Hold(channel, input); return Closing::Normal;
        case Misbehaviour::CloseWithoutAnswer: return Closing::Normal;
        case Misbehaviour::GarbageAnswer:
            channel.Write("\x01\x02 this is no HTTP response \x7f\r\n\r\n");
            return Closing::Normal;
        default: break;
        }
        if (!Answer(channel, reply, headRequest, closing) || closing)
            return Closing::Normal;
    }
}

Ending WireServer::Impl::ReadRequest(WireChannel& channel, Input& input, RequestParser& parser, ScriptedReply& reply)
{
    for (;;) {
        if (input.begin == input.end) {
            input.begin = 0;
            input.end = channel.Read(input.buffer.data(), input.buffer.size());
            if (input.end == 0)
                return Ending::PeerGone;
        }
        const bool inHeaders = parser.phase() == RequestParser::Phase::Headers;
        input.begin += parser.Feed(input.buffer.data() + input.begin, input.end - input.begin);
        if (parser.phase() == RequestParser::Phase::Malformed)
            return Ending::Malformed;
        if (inHeaders && parser.phase() != RequestParser::Phase::Headers)
            OnHeaders(channel, parser, reply);
        if (parser.LimitReached())
            return Ending::Cut;
        if (parser.phase() == RequestParser::Phase::Done)
            return Ending::Complete;
    }
}

void WireServer::Impl::OnHeaders(WireChannel& channel, RequestParser& parser, ScriptedReply& reply)
{
    reply = ReplyFor(parser.Request().target);
    if (CutsBody(reply.misbehaviour))
        parser.LimitBody(reply.afterBodyBytes);
    if (parser.phase() == RequestParser::Phase::Body && ExpectsContinue(parser.Request()))
        channel.Write(StatusLine(100, "Continue") + "\r\n");
}

ScriptedReply WireServer::Impl::ReplyFor(const std::string& target) const
{
    std::lock_guard lock(mutex);
    const ScriptedReply* best = nullptr;
    std::size_t bestLength = 0;
    for (const auto& [prefix, reply] : scripts) {
        if (target.starts_with(prefix) && (!best || prefix.size() >= bestLength)) {
            best = &reply;
            bestLength = prefix.size();
        }
    }
    return best ? *best : ScriptedReply{};
}

void WireServer::Impl::Record(RequestParser& parser)
{
    {
        std::lock_guard lock(mutex);
        requests.push_back(parser.Take());
    }
    changed.notify_all();
}

bool WireServer::Impl::Answer(WireChannel& channel, const ScriptedReply& reply, bool headRequest, bool closing)
{
    if (reply.interimStatus &&
        !channel.Write(StatusLine(*reply.interimStatus, InterimReason(*reply.interimStatus)) + "\r\n"))
        return false;
    if (!Sleep(reply.delay))
        return false;
    return channel.Write(FormatReply(reply, headRequest, closing));
}

void WireServer::Impl::Hold(WireChannel& channel, Input& input)
{
    while (channel.Read(input.buffer.data(), input.buffer.size()) > 0) {
    }
}

bool WireServer::Impl::Sleep(std::chrono::milliseconds delay)
{
    std::unique_lock lock(mutex);
    if (delay.count() > 0)
        changed.wait_for(lock, delay, [this] { return stopping; });
    return !stopping;
}

void WireServer::Impl::Close(Connection& connection, Closing how)
{
    {
        std::lock_guard lock(mutex);
        if (how == Closing::Reset) {
            const linger abort{1, 0};
            ::setsockopt(connection.fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        } else {
            ::shutdown(connection.fd, SHUT_WR);
        }
        ::close(connection.fd);
        connection.fd = -1;
        connection.finished = true;
        --open;
    }
    changed.notify_all();
}

WireServer::WireServer(TlsMode tls) : impl_(std::make_unique<Impl>(tls)) {}

WireServer::~WireServer() = default;

std::uint16_t WireServer::Port() const { return impl_->port; }

std::string WireServer::BaseUrl() const
{
    return std::string(impl_->tls == TlsMode::Plain ? "http" : "https") + "://" + HostPort();
}

void WireServer::Script(std::string targetPrefix, ScriptedReply reply)
{
    std::lock_guard lock(impl_->mutex);
    impl_->scripts.insert_or_assign(std::move(targetPrefix), std::move(reply));
}

void WireServer::SetDiscardBodies(bool discard)
{
    std::lock_guard lock(impl_->mutex);
    impl_->discard = discard;
}

std::vector<RecordedRequest> WireServer::Requests() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->requests;
}

void WireServer::ClearRequests()
{
    std::lock_guard lock(impl_->mutex);
    impl_->requests.clear();
}

bool WireServer::WaitForRequests(std::size_t n, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(impl_->mutex);
    return impl_->changed.wait_for(lock, timeout, [&] { return impl_->requests.size() >= n; });
}

bool WireServer::WaitForOpenConnections(std::size_t atMost, std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(impl_->mutex);
    return impl_->changed.wait_for(lock, timeout, [&] { return impl_->open <= atMost; });
}

std::size_t WireServer::ConnectionsAccepted() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->accepted;
}

std::size_t WireServer::OpenConnections() const
{
    std::lock_guard lock(impl_->mutex);
    return impl_->open;
}

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

}  // namespace testsupport
