#include "httpclient/HttpRequestAbort.h"

namespace Tavik {

void CHttpRequestAbort::Watch(HINTERNET hRequest)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_hRequest = hRequest;
    if (m_bAborted && hRequest != nullptr)
        ::InternetCloseHandle(hRequest);
}

void CHttpRequestAbort::Abort()
{
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_bAborted)
        return;
    m_bAborted = true;
    if (m_hRequest != nullptr)
        ::InternetCloseHandle(m_hRequest);
}

void CHttpRequestAbort::Reset()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_bAborted = false;
    m_hRequest = nullptr;
}

}  // namespace Tavik
