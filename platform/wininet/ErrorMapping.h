#pragma once
// libcurl's results as the internet library's error numbers.

#include "platform/win32/Win32Types.h"

#include <curl/curl.h>

namespace wininet {

struct CurlOutcome {
    CURLcode code = CURLE_OK;
    long osErrno = 0;             // CURLINFO_OS_ERRNO
    long certVerifyResult = 0;    // CURLINFO_SSL_VERIFYRESULT, X509_V_OK when the chain was good
    bool bodyIncomplete = false;  // the connection ended before the whole announced body was sent
    bool sawRedirect = false;
};

DWORD InternetErrorFromCurl(const CurlOutcome& outcome);
DWORD InternetErrorFromMulti(CURLMcode code);

// Reads errno and the certificate verdict off a finished easy handle.
CurlOutcome OutcomeOf(CURL* easy, CURLcode code);

}  // namespace wininet
