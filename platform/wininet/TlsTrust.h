#pragma once
// Certificates trusted in addition to the system's store: those of the extra authority's
// PEM file (ExtraCaFile.h). They are added to each TLS context; verification itself is
// never switched off.

#include <curl/curl.h>

namespace wininet {

// CURLOPT_SSL_CTX_FUNCTION: gives the context the process's one trust store, the system's
// authorities plus the configured ones. The file is read once, at the first TLS connection.
CURLcode AddConfiguredTrust(CURL* easy, void* sslCtx, void* userData);

}  // namespace wininet
