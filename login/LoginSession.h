#pragma once
// The login browser's session state without any window: the access token it captured
// from the redirect address, or the error text the redirect carried instead, and the
// logout that ends the guest's session on the Facebook web site.

#include "httpclient/HttpRequestAbort.h"

#include <cstdint>
#include <string>
#include <utility>

class CLoginSession {
public:
    void SetAccessToken(std::u16string token) { m_strToken = std::move(token); }
    const std::u16string& AccessToken() const { return m_strToken; }
    void SetLoginError(std::u16string error) { m_strLoginError = std::move(error); }
    const std::u16string& LoginError() const { return m_strLoginError; }

    // Sends the token to the logout page and forgets it. Returns the page's HTTP
    // status; 0 when there was no token (nothing is sent) or the request failed before
    // a status was read; 200 also when the page could not be connected to at all.
    // message receives the status text, or the client error's description. Never
    // throws. An abort, when given, may end the request from another thread.
    std::int32_t LogoutFromFacebook(std::u16string& message, Tavik::CHttpRequestAbort* abort = nullptr);

private:
    std::u16string m_strToken;
    std::u16string m_strLoginError;
};
