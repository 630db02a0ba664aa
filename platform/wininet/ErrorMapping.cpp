#include "platform/wininet/ErrorMapping.h"

#include "platform/wininet/WinInet.h"

#include <openssl/x509_vfy.h>

#include <cerrno>

namespace wininet {

namespace {

DWORD ConnectionLost(long osErrno)
{
    return osErrno == ECONNRESET ? ERROR_INTERNET_CONNECTION_RESET : ERROR_INTERNET_CONNECTION_ABORTED;
}

// A certificate for another host gets the platform's own number for a name mismatch;
// expired or not yet valid ones the date number; anything else about the chain is an
// authority the client does not trust. libcurl checks the name itself after the chain
// verified, and leaves its initial "unspecified" verdict (1) standing when that fails.
DWORD CertificateRejected(long verifyResult)
{
    switch (verifyResult) {
    case X509_V_OK:
    case X509_V_ERR_UNSPECIFIED:
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH: return ERROR_INTERNET_SEC_CERT_CN_INVALID;
    case X509_V_ERR_CERT_HAS_EXPIRED:
    case X509_V_ERR_CERT_NOT_YET_VALID: return ERROR_INTERNET_SEC_CERT_DATE_INVALID;
    default: return ERROR_INTERNET_INVALID_CA;
    }
}

}  // namespace

DWORD InternetErrorFromCurl(const CurlOutcome& outcome)
{
    switch (outcome.code) {
    case CURLE_OK: return ERROR_SUCCESS;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY: return ERROR_INTERNET_NAME_NOT_RESOLVED;
    case CURLE_COULDNT_CONNECT:
        return outcome.osErrno == ETIMEDOUT ? ERROR_INTERNET_TIMEOUT : ERROR_INTERNET_CANNOT_CONNECT;
    case CURLE_OPERATION_TIMEDOUT: return ERROR_INTERNET_TIMEOUT;
    case CURLE_PEER_FAILED_VERIFICATION: return CertificateRejected(outcome.certVerifyResult);
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_SSL_ENGINE_NOTFOUND:
    case CURLE_SSL_ENGINE_SETFAILED:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_ENGINE_INITFAILED:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_SHUTDOWN_FAILED:
    case CURLE_SSL_CRL_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
    case CURLE_SSL_PINNEDPUBKEYNOTMATCH:
    case CURLE_SSL_INVALIDCERTSTATUS:
    case CURLE_USE_SSL_FAILED:
    case CURLE_SSL_CLIENTCERT: return ERROR_INTERNET_SECURITY_CHANNEL_ERROR;
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR: return ConnectionLost(outcome.osErrno);
    case CURLE_PARTIAL_FILE: return ERROR_INTERNET_CONNECTION_ABORTED;
    case CURLE_GOT_NOTHING:
        // The peer hung up: while the body was still going out that is an aborted connection;
        // after the whole request it is a server that answered nothing.
        return outcome.bodyIncomplete ? ERROR_INTERNET_CONNECTION_ABORTED : ERROR_HTTP_INVALID_SERVER_RESPONSE;
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_BAD_CONTENT_ENCODING:
    case CURLE_HTTP2:
    case CURLE_HTTP2_STREAM:
    case CURLE_HTTP3: return ERROR_HTTP_INVALID_SERVER_RESPONSE;
    case CURLE_UNSUPPORTED_PROTOCOL:
        // After a redirect this is a Location with a scheme other than http and https;
        // otherwise the server's answer was not HTTP at all.
        return outcome.sawRedirect ? ERROR_HTTP_REDIRECT_FAILED : ERROR_HTTP_INVALID_SERVER_RESPONSE;
    case CURLE_TOO_MANY_REDIRECTS:
    case CURLE_SEND_FAIL_REWIND: return ERROR_HTTP_REDIRECT_FAILED;
    case CURLE_URL_MALFORMAT: return ERROR_INTERNET_INVALID_URL;
    case CURLE_OUT_OF_MEMORY: return ERROR_NOT_ENOUGH_MEMORY;
    case CURLE_ABORTED_BY_CALLBACK: return ERROR_INTERNET_OPERATION_CANCELLED;
    default: return ERROR_INTERNET_INTERNAL_ERROR;
    }
}

DWORD InternetErrorFromMulti(CURLMcode code)
{
    switch (code) {
    case CURLM_OK: return ERROR_SUCCESS;
    case CURLM_OUT_OF_MEMORY: return ERROR_NOT_ENOUGH_MEMORY;
    default: return ERROR_INTERNET_INTERNAL_ERROR;
    }
}

CurlOutcome OutcomeOf(CURL* easy, CURLcode code)
{
    CurlOutcome outcome;
    outcome.code = code;
    long value = 0;
    if (curl_easy_getinfo(easy, CURLINFO_OS_ERRNO, &value) == CURLE_OK) {
        outcome.osErrno = value;
    }
    value = 0;
    if (curl_easy_getinfo(easy, CURLINFO_SSL_VERIFYRESULT, &value) == CURLE_OK) {
        outcome.certVerifyResult = value;
    }
    return outcome;
}

}  // namespace wininet
