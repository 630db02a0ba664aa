#pragma once
// The certificate a TLS server presents, fetched for a trust decision made elsewhere (the
// browser accepts particular certificates per host, not an authority). Plain libcurl and
// OpenSSL, no GLib: it runs on a thread of its own while the main thread starts the
// browser, and GLib's type system deadlocks when two threads first use related types.

#include <string>

namespace wininet {

// Connects to host:port (an IPv6 address without brackets) and completes a handshake
// whose chain is verified against the certificates of caFile alone and whose name
// against host. The server's own certificate in PEM, or empty when the connection, the
// handshake or the verification fails within timeoutMs. Nothing is sent beyond the
// handshake, and no proxy is used.
std::string FetchVerifiedPeerCertificate(const std::string& host, unsigned short port, const std::string& caFile,
                                         long timeoutMs);

}  // namespace wininet
