// The layer's pure rules: libcurl results as error numbers, request addresses, and the
// header modifiers.

#include "platform/wininet/Endpoint.h"
#include "platform/wininet/ErrorMapping.h"
#include "platform/wininet/HeaderList.h"
#include "platform/wininet/WinInet.h"

#include <gtest/gtest.h>

#include <openssl/x509_vfy.h>

#include <cerrno>

using namespace wininet;

namespace {

TEST(LayerRules, CurlResultsBecomeTheInternetLibrarysNumbers)
{
    const struct {
        CurlOutcome outcome;
        DWORD error;
    } cases[] = {
        {{CURLE_COULDNT_RESOLVE_HOST}, ERROR_INTERNET_NAME_NOT_RESOLVED},
        {{CURLE_COULDNT_CONNECT, ECONNREFUSED}, ERROR_INTERNET_CANNOT_CONNECT},
        {{CURLE_OPERATION_TIMEDOUT}, ERROR_INTERNET_TIMEOUT},
        {{CURLE_SEND_ERROR, ECONNRESET}, ERROR_INTERNET_CONNECTION_RESET},
        {{CURLE_SEND_ERROR, EPIPE}, ERROR_INTERNET_CONNECTION_ABORTED},
        {{CURLE_RECV_ERROR, ECONNRESET}, ERROR_INTERNET_CONNECTION_RESET},
        {{.code = CURLE_GOT_NOTHING, .bodyIncomplete = true}, ERROR_INTERNET_CONNECTION_ABORTED},
        {{CURLE_GOT_NOTHING}, ERROR_HTTP_INVALID_SERVER_RESPONSE},
        {{CURLE_UNSUPPORTED_PROTOCOL}, ERROR_HTTP_INVALID_SERVER_RESPONSE},
        {{.code = CURLE_UNSUPPORTED_PROTOCOL, .sawRedirect = true}, ERROR_HTTP_REDIRECT_FAILED},
        {{.code = CURLE_PEER_FAILED_VERIFICATION, .certVerifyResult = X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT},
         ERROR_INTERNET_INVALID_CA},
        {{.code = CURLE_PEER_FAILED_VERIFICATION, .certVerifyResult = X509_V_ERR_CERT_HAS_EXPIRED},
         ERROR_INTERNET_SEC_CERT_DATE_INVALID},
        {{CURLE_SSL_CONNECT_ERROR}, ERROR_INTERNET_SECURITY_CHANNEL_ERROR},
        {{CURLE_TOO_MANY_REDIRECTS}, ERROR_HTTP_REDIRECT_FAILED},
        {{CURLE_OUT_OF_MEMORY}, ERROR_NOT_ENOUGH_MEMORY},
    };
    for (const auto& expected : cases) {
        EXPECT_EQ(InternetErrorFromCurl(expected.outcome), expected.error) << expected.outcome.code;
    }
}

TEST(LayerRules, RequestAddressDropsTheFragmentAndEscapesWhatCannotStand)
{
    const Endpoint secure{true, "graph.example.com", 0};
    EXPECT_EQ(RequestUrl(secure, "/v2.12/me?fields=id#top"), "https://graph.example.com:443/v2.12/me?fields=id");
    EXPECT_EQ(RequestUrl(secure, "me"), "https://graph.example.com:443/me");
    EXPECT_EQ(RequestUrl(secure, "/a b\x01\xC3\xA9%41"), "https://graph.example.com:443/a%20b%01%C3%A9%41");
    EXPECT_EQ(RequestUrl(Endpoint{false, "::1", 8080}, "/"), "http://[::1]:8080/");
    EXPECT_EQ(RootUrl(Endpoint{false, "127.0.0.1", 0}), "http://127.0.0.1:80/");
}

TEST(LayerRules, HostNamesAndCheckedAddresses)
{
    EXPECT_TRUE(IsReservedInvalidName("INVALID"));
    EXPECT_TRUE(IsReservedInvalidName("a.b.invalid."));
    EXPECT_FALSE(IsReservedInvalidName("invalid.example.com"));
    EXPECT_FALSE(IsReservedInvalidName("notinvalid"));
    EXPECT_FALSE(IsValidHostName("host/path"));
    EXPECT_FALSE(IsValidHostName("user@host"));

    DWORD error = 0;
    const auto parsed = ParseHttpUrl("https://www.example.com:8443/path?q#f", error);
    ASSERT_TRUE(parsed);
    EXPECT_TRUE(parsed->secure);
    EXPECT_EQ(parsed->host, "www.example.com");
    EXPECT_EQ(parsed->port, 8443);
    EXPECT_EQ(ParseHttpUrl("http://[::1]/", error)->host, "::1");
    EXPECT_FALSE(ParseHttpUrl("https://host:99999/", error));
    EXPECT_EQ(error, ERROR_INTERNET_INVALID_URL);
    EXPECT_FALSE(ParseHttpUrl("gopher://host/", error));
    EXPECT_EQ(error, ERROR_INTERNET_UNRECOGNIZED_SCHEME);
}

TEST(LayerRules, HeaderModifiers)
{
    HeaderList headers;
    EXPECT_EQ(headers.Apply("Accept-Language: de\r\nX-Empty: \r\n", HTTP_ADDREQ_FLAG_ADD), ERROR_SUCCESS);
    EXPECT_EQ(headers.CurlLines(), (std::vector<std::string>{"Accept-Language: de", "X-Empty;"}));

    EXPECT_EQ(headers.Apply("accept-language: fr", HTTP_ADDREQ_FLAG_REPLACE), ERROR_SUCCESS);
    EXPECT_EQ(headers.Apply("X-Empty:", HTTP_ADDREQ_FLAG_REPLACE), ERROR_SUCCESS);
    EXPECT_EQ(headers.CurlLines(), (std::vector<std::string>{"accept-language: fr"}));

    EXPECT_EQ(headers.Apply("X-New: 1", HTTP_ADDREQ_FLAG_REPLACE), ERROR_HTTP_HEADER_NOT_FOUND);
    EXPECT_EQ(headers.Apply("Accept-Language: it", HTTP_ADDREQ_FLAG_ADD_IF_NEW), ERROR_HTTP_HEADER_ALREADY_EXISTS);

    // A bad line anywhere leaves the list as it was.
    EXPECT_EQ(headers.Apply("X-Good: 1\r\nBad Name: 2\r\n", HTTP_ADDREQ_FLAG_ADD), ERROR_HTTP_INVALID_HEADER);
    EXPECT_EQ(headers.Apply(std::string_view("X-Nul: a\0b", 10), HTTP_ADDREQ_FLAG_ADD), ERROR_HTTP_INVALID_HEADER);
    EXPECT_EQ(headers.CurlLines(), (std::vector<std::string>{"accept-language: fr"}));
}

}  // namespace
