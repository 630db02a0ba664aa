// The recording server on Windows: a connection to the Linux wire host (WireHostMain.cpp),
// whose port scripts/test-windows.sh puts in ZENDRIK_WIRE_HOST. The host runs the server
// for as long as the connection lasts, so the test sees the same server, on 127.0.0.1,
// with the same record, as on Linux.

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>
#include <mutex>
#include <stdexcept>

#include "tests/support/WireProtocol.h"
#include "tests/support/WireServer.h"

namespace testsupport {
namespace {

// Winsock is started once for the process and never stopped: the servers of static
// fixtures may outlive main.
void StartWinsock()
{
    static const bool started = [] {
        WSADATA data;
        return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started)
        throw std::runtime_error("WireServer: WSAStartup failed");
}

std::uint16_t WireHostPort()
{
    const char* port = std::getenv("ZENDRIK_WIRE_HOST");
    if (port == nullptr || *port == '\0')
        throw std::runtime_error("WireServer: ZENDRIK_WIRE_HOST is not set; scripts/test-windows.sh starts the wire "
                                 "host (build/bin/zendrik2-wire-host) and sets it to the port it prints");
    return static_cast<std::uint16_t>(std::atoi(port));
}

class ControlConnection {
public:
    ControlConnection()
    {
        StartWinsock();
        socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(WireHostPort());
        if (socket_ == INVALID_SOCKET ||
            ::connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            Close();
            throw std::runtime_error("WireServer: the wire host does not answer on port " +
                                     std::to_string(WireHostPort()));
        }
    }
    ~ControlConnection() { Close(); }
    ControlConnection(const ControlConnection&) = delete;
    ControlConnection& operator=(const ControlConnection&) = delete;

    // One command, one answer; the host's answers to a bad command carry "error".
    Json::Value Call(const Json::Value& command)
    {
        std::lock_guard lock(mutex_);
        Send(wire::ToLine(command) + "\n");
        const Json::Value answer = wire::FromLine(ReceiveLine());
        if (answer.isMember("error"))
            throw std::runtime_error("wire host: " + answer["error"].asString());
        return answer;
    }

private:
    void Send(const std::string& bytes)
    {
        for (std::size_t sent = 0; sent < bytes.size();) {
            const int put = ::send(socket_, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
            if (put <= 0)
                throw std::runtime_error("WireServer: the wire host went away");
            sent += static_cast<std::size_t>(put);
        }
    }

    std::string ReceiveLine()
    {
        for (;;) {
            const auto end = pending_.find('\n');
            if (end != std::string::npos) {
                std::string line = pending_.substr(0, end);
                pending_.erase(0, end + 1);
                return line;
            }
            char buffer[64 * 1024];
            const int got = ::recv(socket_, buffer, sizeof buffer, 0);
            if (got <= 0)
                throw std::runtime_error("WireServer: the wire host went away");
            pending_.append(buffer, static_cast<std::size_t>(got));
        }
    }

    void Close()
    {
        if (socket_ != INVALID_SOCKET)
            ::closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }

    SOCKET socket_ = INVALID_SOCKET;
    std::mutex mutex_;
    std::string pending_;
};

Json::Value Command(const char* op)
{
    Json::Value command;
    command["op"] = op;
    return command;
}

Json::Value Wait(const char* op, std::size_t n, std::chrono::milliseconds timeout)
{
    Json::Value command = Command(op);
    command["n"] = static_cast<Json::UInt64>(n);
    command["ms"] = static_cast<Json::Int64>(timeout.count());
    return command;
}

}  // namespace

struct WireServer::Impl {
    TlsMode tls;
    mutable ControlConnection host;
    std::uint16_t port = 0;
};

WireServer::WireServer(TlsMode tls) : impl_(std::make_unique<Impl>())
{
    impl_->tls = tls;
    Json::Value command = Command("open");
    command["tls"] = wire::TlsModeName(tls);
    impl_->port = static_cast<std::uint16_t>(impl_->host.Call(command)["port"].asUInt());
}

WireServer::~WireServer() = default;  // the host drops the server with the connection

std::uint16_t WireServer::Port() const { return impl_->port; }

std::string WireServer::BaseUrl() const
{
    return std::string(impl_->tls == TlsMode::Plain ? "http" : "https") + "://" + HostPort();
}

void WireServer::Script(std::string targetPrefix, ScriptedReply reply)
{
    Json::Value command = Command("script");
    command["prefix"] = targetPrefix;
    command["reply"] = wire::ToJson(reply);
    impl_->host.Call(command);
}

void WireServer::SetDiscardBodies(bool discard)
{
    Json::Value command = Command("discard");
    command["on"] = discard;
    impl_->host.Call(command);
}

std::vector<RecordedRequest> WireServer::Requests() const
{
    const Json::Value answer = impl_->host.Call(Command("requests"));  // kept: the loop walks into it
    std::vector<RecordedRequest> requests;
    for (const Json::Value& request : answer["requests"])
        requests.push_back(wire::RequestFromJson(request));
    return requests;
}

void WireServer::ClearRequests() { impl_->host.Call(Command("clear")); }

bool WireServer::WaitForRequests(std::size_t n, std::chrono::milliseconds timeout) const
{
    return impl_->host.Call(Wait("wait_requests", n, timeout))["ok"].asBool();
}

bool WireServer::WaitForOpenConnections(std::size_t atMost, std::chrono::milliseconds timeout) const
{
    return impl_->host.Call(Wait("wait_open", atMost, timeout))["ok"].asBool();
}

std::size_t WireServer::ConnectionsAccepted() const
{
    return impl_->host.Call(Command("accepted"))["count"].asUInt64();
}

std::size_t WireServer::OpenConnections() const
{
    return impl_->host.Call(Command("open_connections"))["count"].asUInt64();
}

std::uint16_t UnusedLocalPort()
{
    ControlConnection host;
    return static_cast<std::uint16_t>(host.Call(Command("unused_port"))["port"].asUInt());
}

}  // namespace testsupport
