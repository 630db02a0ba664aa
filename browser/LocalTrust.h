#pragma once
// Trust in a local test authority for a few hosts, as WebKit can take it: WebKit
// accepts particular certificates per host name, not an authority. So the certificate
// each host presents is fetched once, checked against the authority and the host's
// name, and only then handed to WebKit. Real services are never involved: without
// an authority file nothing is fetched.

#include <string>
#include <vector>

// For each host[:port] (443 when none): connects, verifies the presented chain against
// caFile for that host, and lets WebKit's default context accept it for the host's
// name (WebKit does not tell ports apart). The certificates in caFile itself are
// accepted for those names at once; the connections run on a thread of their own, so
// that the browser can start meanwhile, and CompleteLocalTrust hands their
// certificates to WebKit. Failures are skipped silently: such a host simply stays
// untrusted.
void TrustLocalAuthority(const std::string& caFile, const std::vector<std::string>& hosts);

// On the main thread, before the first page other than about:blank loads: waits for
// the check TrustLocalAuthority started (if any, and only once) and applies it.
void CompleteLocalTrust();
