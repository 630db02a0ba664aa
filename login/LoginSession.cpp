#include "login/LoginSession.h"

#include "httpclient/HttpClient.h"
#include "httpclient/HttpClientException.h"
#include "httpclient/HttpErrors.h"
#include "login/WebEndpoints.h"
#include "service/ClientErrorLine.h"
#include "service/ServiceClient.h"

#include <cstdlib>
#include <memory>

namespace {

struct FreeText {
    void operator()(char16_t* text) const noexcept { std::free(text); }
};

// "Exception, error code=N", then ": " and the internet library's name of N if it has one.
std::u16string DescribeClientError(const Tavik::httpclientexceptionW& error)
{
    std::u16string text = service::ClientErrorLine(error);
    const std::unique_ptr<char16_t, FreeText> name(Tavik::WinInetErrorName(error.Win32Error()));
    if (name && *name)
        text.append(u": ").append(name.get());
    return text;
}

}  // namespace

std::int32_t CLoginSession::LogoutFromFacebook(std::u16string& message, Tavik::CHttpRequestAbort* abort)
{
    message.clear();
    if (m_strToken.empty())
        return 0;
    std::int32_t status = 0;
    try {
        Tavik::CHttpClient client;
        service::ConfigureServiceClient(client);
        client.SetRequestAbort(abort);
        client.AddParam(u"next", LogoutNextAddress().c_str(), 0);
        client.AddParam(u"access_token", m_strToken.c_str(), 0);
        const std::unique_ptr<Tavik::CHttpResponse> response(
            client.ExecuteGet(LogoutPageAddress().c_str(), Tavik::DEFAULT_REQUEST_FLAGS));
        if (response) {
            status = static_cast<std::int32_t>(response->GetStatus());
            const char16_t* text = response->GetStatusText();
            message = text != nullptr ? text : u"";
        }
    } catch (const Tavik::httpclientexceptionW& error) {
        // Nobody to connect to means nobody holds a session for this token.
        if (error.Win32Error() == ERROR_INTERNET_CANNOT_CONNECT)
            status = 200;
        else
            message = DescribeClientError(error);
    } catch (...) {
        // The status says what was reached.
    }
    m_strToken.clear();
    return status;
}
