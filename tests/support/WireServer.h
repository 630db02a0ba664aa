#pragma once
// A recording HTTP/1.1 server on 127.0.0.1 for the wire tests: it keeps every request
// exactly as the bytes arrived (request line, headers, body) and answers each path
// with a scripted reply, or misbehaves on purpose (drops the connection part-way
// through a body, never answers, answers slowly, sends an interim 1xx first).

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testsupport {

struct RecordedRequest {
    std::string raw;                                           // every byte received for this request, headers and body
    std::string method;                                        // "POST"
    std::string target;                                        // "/v2.12/me?fields=id"
    std::string version;                                       // "HTTP/1.1"
    std::vector<std::pair<std::string, std::string>> headers;  // in arrival order
    std::string body;                                          // de-chunked when the request was chunked
    std::uint64_t bodyBytesReceived = 0;                       // also counted when bodies are discarded
    bool complete = false;                                     // the whole announced body arrived

    // First header of that name, compared without case; nullopt when absent.
    std::optional<std::string> Header(std::string_view name) const;
};

enum class Misbehaviour {
    None,
    CloseAfterBodyBytes,  // read `afterBodyBytes` of the body, then close (FIN)
    ResetAfterBodyBytes,  // the same, but abort the connection (RST)
    NeverAnswer,          // read the whole request, then hold the connection silently
    CloseWithoutAnswer,   // read the whole request, then close without a byte
    GarbageAnswer,        // answer with bytes that are not HTTP
};

struct ScriptedReply {
    int status = 200;
    std::string reason = "OK";
    std::vector<std::pair<std::string, std::string>> headers{};  // Content-Length is added
    std::string body = "{}";
    std::chrono::milliseconds delay{0};  // before the status line
    std::optional<int> interimStatus{};  // e.g. 100 or 102: sent before the real reply
    Misbehaviour misbehaviour = Misbehaviour::None;
    std::uint64_t afterBodyBytes = 0;
};
// "Expect: 100-continue" is always answered with "100 Continue" before the body is read
// (so a client that sends it is found by its header in the record, not by a stall).
// A cut takes exactly `afterBodyBytes` of payload (de-chunked bytes for a chunked body);
// bytes that had already arrived beyond it are dropped unrecorded, and the kernel answers
// whatever the client sends afterwards with a reset, so after CloseAfterBodyBytes a
// client that keeps writing usually sees "broken pipe" or "reset" rather than a clean end.

enum class TlsMode {
    Plain,      // plain HTTP
    Trusted,    // certificate for 127.0.0.1 signed by the test authority (ca.pem)
    Untrusted,  // self-signed certificate that nobody trusts
    WrongHost,  // signed by the test authority, but for another host name
};

class WireServer {
public:
    explicit WireServer(TlsMode tls = TlsMode::Trusted);
    ~WireServer();  // stops accepting, closes every connection, joins every thread
    WireServer(const WireServer&) = delete;
    WireServer& operator=(const WireServer&) = delete;

    std::uint16_t Port() const;
    std::string HostPort() const;     // "127.0.0.1:PORT" (on Windows "localhost:PORT")
    std::string BaseUrl() const;      // "https://" or "http://", then HostPort()
    std::u16string BaseUrlW() const;  // the same in UTF-16

    // The reply for every request whose target (path and query) starts with the prefix;
    // the longest matching prefix wins. Unscripted targets get 200 OK with body "{}".
    void Script(std::string targetPrefix, ScriptedReply reply);

    // Count body bytes without keeping them (benchmarks: the server must not be the
    // bottleneck, and it never parses a multipart body). `raw` then holds the head only.
    void SetDiscardBodies(bool discard);

    // Finished requests in the order they finished: complete, misbehaved on, cut short
    // by the client or malformed (answered 400). A request still arriving is not listed.
    std::vector<RecordedRequest> Requests() const;
    // Waits until at least n requests have been recorded completely (or misbehaved on);
    // false on timeout.
    bool WaitForRequests(std::size_t n, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    std::size_t ConnectionsAccepted() const;
    std::size_t OpenConnections() const;
    // Waits until at most n connections are still open (the server notices a client's
    // close only when its read returns); false on timeout.
    bool WaitForOpenConnections(std::size_t atMost, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    // Forgets the requests recorded so far, so that a test can count from here.
    void ClearRequests();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The name the clients under test use for this machine. Wine's internet library checks a
// certificate's DNS names only, so the Windows build says "localhost" (both are in the
// test certificate).
std::string LocalHostName();

// A port on 127.0.0.1 where nothing listens (bound, then closed), for "connection refused".
std::uint16_t UnusedLocalPort();

// Path of a file under tests/data.
std::string TestDataPath(std::string_view relative);

}  // namespace testsupport
