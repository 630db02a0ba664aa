// zendrik2-wire-host: the recording servers of the Windows build's wire tests. Those
// tests run under Wine, where our server (POSIX sockets, OpenSSL) does not; each of
// their servers is a connection to this Linux process, which opens one WireServer for
// it, runs the commands that come over it (RemoteWireServer.cpp) and drops the server
// when it closes. Prints the port it listens on, then serves until it is ended.

#include <csignal>
#include <cstdio>
#include <exception>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "tests/support/WireProtocol.h"
#include "tests/support/WireServer.h"

namespace {

using namespace testsupport;

class ControlConnection {
public:
    explicit ControlConnection(int fd) : fd_(fd) {}
    ~ControlConnection() { ::close(fd_); }
    ControlConnection(const ControlConnection&) = delete;
    ControlConnection& operator=(const ControlConnection&) = delete;

    bool ReadLine(std::string& line)
    {
        for (;;) {
            const auto end = pending_.find('\n');
            if (end != std::string::npos) {
                line = pending_.substr(0, end);
                pending_.erase(0, end + 1);
                return true;
            }
            char buffer[64 * 1024];
            const ssize_t got = ::recv(fd_, buffer, sizeof buffer, 0);
            if (got <= 0)
                return false;
            pending_.append(buffer, static_cast<std::size_t>(got));
        }
    }

    bool WriteLine(std::string line)
    {
        line += '\n';
        for (std::size_t sent = 0; sent < line.size();) {
            const ssize_t put = ::send(fd_, line.data() + sent, line.size() - sent, MSG_NOSIGNAL);
            if (put <= 0)
                return false;
            sent += static_cast<std::size_t>(put);
        }
        return true;
    }

private:
    int fd_;
    std::string pending_;
};

std::chrono::milliseconds Milliseconds(const Json::Value& command)
{
    return std::chrono::milliseconds(command["ms"].asInt64());
}

Json::Value RunOnServer(WireServer& server, const std::string& op, const Json::Value& command)
{
    Json::Value answer(Json::objectValue);
    if (op == "script")
        server.Script(command["prefix"].asString(), wire::ReplyFromJson(command["reply"]));
    else if (op == "discard")
        server.SetDiscardBodies(command["on"].asBool());
    else if (op == "clear")
        server.ClearRequests();
    else if (op == "requests") {
        answer["requests"] = Json::Value(Json::arrayValue);
        for (const RecordedRequest& request : server.Requests())
            answer["requests"].append(wire::ToJson(request));
    } else if (op == "wait_requests")
        answer["ok"] = server.WaitForRequests(command["n"].asUInt64(), Milliseconds(command));
    else if (op == "wait_open")
        answer["ok"] = server.WaitForOpenConnections(command["n"].asUInt64(), Milliseconds(command));
    else if (op == "accepted")
        answer["count"] = static_cast<Json::UInt64>(server.ConnectionsAccepted());
    else if (op == "open_connections")
        answer["count"] = static_cast<Json::UInt64>(server.OpenConnections());
    else
        throw std::runtime_error("unknown command " + op);
    return answer;
}

Json::Value Run(std::unique_ptr<WireServer>& server, const Json::Value& command)
{
    const std::string op = command["op"].asString();
    Json::Value answer(Json::objectValue);
    if (op == "unused_port") {
        answer["port"] = UnusedLocalPort();
        return answer;
    }
    if (op == "open") {
        server = std::make_unique<WireServer>(wire::TlsModeFromName(command["tls"].asString()));
        answer["port"] = server->Port();
        return answer;
    }
    if (!server)
        throw std::runtime_error("no server is open on this connection");
    return RunOnServer(*server, op, command);
}

void Serve(int fd)
{
    ControlConnection connection(fd);
    std::unique_ptr<WireServer> server;
    std::string line;
    while (connection.ReadLine(line)) {
        Json::Value answer;
        try {
            answer = Run(server, wire::FromLine(line));
        } catch (const std::exception& e) {
            answer["error"] = e.what();
        }
        if (!connection.WriteLine(wire::ToLine(answer)))
            return;
    }
}

int Listen()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 128) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    std::printf("%u\n", static_cast<unsigned>(ntohs(address.sin_port)));
    std::fflush(stdout);
    return fd;
}

}  // namespace

int main()
{
    std::signal(SIGPIPE, SIG_IGN);
    try {
        const int listening = Listen();
        for (;;) {
            const int fd = ::accept4(listening, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0)
                std::thread(Serve, fd).detach();  // each lives as long as its test's connection
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zendrik2-wire-host: %s\n", e.what());
        return 1;
    }
}
