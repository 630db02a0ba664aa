#pragma once
// Certificates trusted in addition to the system's store: those of the PEM file that the
// environment variable ZENDRIK_CA_FILE names (the local test server's authority). They are
// added to each TLS context; verification itself is never switched off.

#include <curl/curl.h>

namespace wininet {

// The name of the environment variable.
inline constexpr const char* kExtraCaFileVariable = "ZENDRIK_CA_FILE";

// CURLOPT_SSL_CTX_FUNCTION: gives the context the process's one trust store, the system's
// authorities plus the configured ones. The file is read once, at the first TLS connection.
CURLcode AddConfiguredTrust(CURL* easy, void* sslCtx, void* userData);

}  // namespace wininet
