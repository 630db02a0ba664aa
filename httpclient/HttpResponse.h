#pragma once
// What a finished request hands to its caller: the request's own session, connection
// and request handles, with the status, the status text and the body. The client
// creates it with new and the caller deletes it; it does not depend on the client
// that made it, which may be gone.

#include "httpclient/HttpErrors.h"
#include "httpclient/RequestHandles.h"
#include "platform/win32/LastError.h"
#include "platform/win32/Win32Types.h"
#include "platform/wininet/WinInet.h"

#include <cstdlib>

namespace Tavik {

template <typename HttpTool>
class CHttpResponseT {
public:
    using CharType = typename HttpTool::CharType;

    // Takes ownership of the three handles (any of them may be null).
    CHttpResponseT(HINTERNET hInternet, HINTERNET hConnection, HINTERNET hRequest) noexcept
        : m_hInternet(hInternet),
          m_hConnection(hConnection),
          m_hRequest(hRequest)
    {
    }
    virtual ~CHttpResponseT();
    CHttpResponseT(const CHttpResponseT&) = delete;
    CHttpResponseT& operator=(const CHttpResponseT&) = delete;

    // The HTTP status code; queried once, then cached.
    DWORD GetStatus();
    // The reason phrase of the status line; queried once, then cached. The text belongs
    // to the response and stays valid until it is deleted.
    const CharType* GetStatusText();
    // Up to cbyBuff body bytes into pbyBuff; 0 once the body is exhausted, and again
    // on every later call.
    DWORD ReadContent(BYTE* pbyBuff, DWORD cbyBuff);

private:
    HINTERNET m_hInternet;
    HINTERNET m_hConnection;
    HINTERNET m_hRequest;
    DWORD m_dwStatus = 0;
    CharType* m_szStatusText = nullptr;
};

template <typename HttpTool>
CHttpResponseT<HttpTool>::~CHttpResponseT()
{
    CloseRequestHandles<HttpTool>(m_hInternet, m_hConnection, m_hRequest);
    std::free(m_szStatusText);
}

template <typename HttpTool>
DWORD CHttpResponseT<HttpTool>::GetStatus()
{
    if (m_hRequest == nullptr)
        ThrowHttpMessage(u"CHttpResponseT::GetStatus: m_hRequest can not be NULL.");
    if (m_dwStatus != 0)
        return m_dwStatus;
    DWORD dwStatus = 0;
    DWORD cbStatus = sizeof(dwStatus);
    if (!::HttpQueryInfoW(m_hRequest, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &dwStatus, &cbStatus, nullptr))
        ThrowHttpApiError(HttpError::HttpQueryInfoFailed, ::GetLastError());
    m_dwStatus = dwStatus;
    return m_dwStatus;
}

template <typename HttpTool>
auto CHttpResponseT<HttpTool>::GetStatusText() -> const CharType*
{
    if (m_hRequest == nullptr)
        ThrowHttpMessage(u"CHttpResponseT::GetStatusText: m_hRequest can not be NULL.");
    if (m_szStatusText == nullptr)
        m_szStatusText = HttpTool::GetStatusText(m_hRequest);
    return m_szStatusText;
}

template <typename HttpTool>
DWORD CHttpResponseT<HttpTool>::ReadContent(BYTE* pbyBuff, DWORD cbyBuff)
{
    if (m_hRequest == nullptr)
        ThrowHttpMessage(u"CHttpResponseT::ReadContent: m_hRequest can not be NULL.");
    if (pbyBuff == nullptr)
        ThrowHttpMessage(u"CHttpResponseT::ReadContent: pbyBuff can not be NULL.");
    DWORD cbRead = 0;
    if (!::InternetReadFile(m_hRequest, pbyBuff, cbyBuff, &cbRead))
        ThrowHttpApiError(HttpError::InternetReadFileFailed, ::GetLastError());
    return cbRead;
}

}  // namespace Tavik
