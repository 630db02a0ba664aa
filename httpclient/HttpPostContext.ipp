// The url-encoded post context: the parameters as one
// application/x-www-form-urlencoded body, pushed step by step.
// Included once, by HttpClient.cpp.

#include "httpclient/HttpClient.h"
#include "httpclient/HttpClientInternal.h"

#include <algorithm>
#include <cstdlib>

namespace Tavik {

template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::StartPostContext(const char16_t* szUrl, DWORD dwFlags)
{
    _AbortPostContext();

    auto encodedLen = [this](const char16_t* text, bool bAlreadyEncoded) {
        return bAlreadyEncoded ? HttpEncoder::AnsiEncodeLen(text, m_nCodePage)
                               : HttpEncoder::UrlEncodeLen(text, m_bUseUtf8, m_nCodePage);
    };
    clientpart::BodySize size;
    for (const auto& entry : m_mapParam) {
        const DWORD cbName = encodedLen(entry.first, (entry.second.dwFlags & PARAM_FLAG_ENCODED_NAME) != 0);
        const DWORD cbValue = encodedLen(entry.second.szValue, (entry.second.dwFlags & PARAM_FLAG_ENCODED_VALUE) != 0);
        size.Add(entry.first, CheckedAdd(CheckedAdd(cbName, 1), cbValue), cbValue, false, nullptr);
    }
    if (size.nParams != 0)
        size.cbBody = CheckedAdd(size.cbBody, size.nParams - 1);  // the '&' separators

    OpenPostRequest(szUrl, dwFlags, u"application/x-www-form-urlencoded", size.cbBody);
    _ActivateContext(size, true);
}

template <typename HttpTool, typename HttpEncoder>
typename CHttpClientT<HttpTool, HttpEncoder>::ResponseType*
CHttpClientT<HttpTool, HttpEncoder>::_ProceedPostContext(DWORD nDesired)
{
    if (!IsContextActive())
        ThrowHttpError(HttpError::PostNotStarted);
    if (m_hInternet == nullptr)
        ThrowHttpMessage(u"CHttpClientT::_ProceedPostContext: m_hInternet can not be NULL.");
    if (m_hConnection == nullptr)
        ThrowHttpMessage(u"CHttpClientT::_ProceedPostContext: m_hConnection can not be NULL.");
    if (m_hRequest == nullptr)
        ThrowHttpMessage(u"CHttpClientT::_ProceedPostContext: m_hRequest can not be NULL.");
    if (nDesired == 0)
        ThrowHttpMessage(u"CHttpClientT::_ProceedPostContext: nDesired can not be zero.");

    return _RunStep([&]() -> ResponseType* {
        if (!m_statLive.CurrParamIsComplete()) {
            _WritePostValue(nDesired);
            return nullptr;
        }
        if (m_statLive.PostedCount() == m_statLive.TotalCount()) {
            HttpTool::EndRequest(m_hRequest);
            return _ReleasePostResponse();
        }
        _StartNextPostParam();
        return nullptr;
    });
}

// Writes the separator, the encoded name and '=' whole, and holds the encoded value
// for the value steps that follow.
template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::_StartNextPostParam()
{
    const DWORD index = m_statLive.PostedCount();
    const auto& entry = *m_mapParam.Nth(index);
    auto encodeAlloc = [this](const char16_t* text, bool bAlreadyEncoded, DWORD& cbEncoded) -> char* {
        if (bAlreadyEncoded) {
            cbEncoded = HttpEncoder::AnsiEncodeLen(text, m_nCodePage);
            return _AnsiEncodeAlloc(text);
        }
        cbEncoded = HttpEncoder::UrlEncodeLen(text, m_bUseUtf8, m_nCodePage);
        OwnedBytes buffer(static_cast<char*>(std::malloc(CheckedAdd(cbEncoded, 1))));
        if (!buffer)
            ThrowHttpError(HttpError::OutOfMemory);
        HttpEncoder::UrlEncodeA(buffer.get(), text, m_bUseUtf8, m_nCodePage);
        return buffer.release();
    };

    if (index != 0)
        _WritePost("&");
    DWORD cbName = 0;
    OwnedBytes name(encodeAlloc(entry.first, (entry.second.dwFlags & PARAM_FLAG_ENCODED_NAME) != 0, cbName));
    _WritePost(reinterpret_cast<const BYTE*>(name.get()), cbName, false);
    _WritePost("=");

    DWORD cbValue = 0;
    if (entry.second.szValue == nullptr) {
        _SetCurrentValue(nullptr, false);
    } else {
        char* value =
            encodeAlloc(entry.second.szValue, (entry.second.dwFlags & PARAM_FLAG_ENCODED_VALUE) != 0, cbValue);
        _SetCurrentValue(value, true);
    }
    m_statLive._StartNewEntry(entry.first, cbValue, false, nullptr);
}

template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::_WritePostValue(DWORD nDesired)
{
    const DWORD cbToWrite = std::min(nDesired, m_statLive.CurrParamRemainByte());
    _WritePost(reinterpret_cast<const BYTE*>(m_pbyValue) + m_statLive.CurrParamPostedByte(), cbToWrite, true);
}

template <typename HttpTool, typename HttpEncoder>
typename CHttpClientT<HttpTool, HttpEncoder>::ResponseType*
CHttpClientT<HttpTool, HttpEncoder>::ExecutePost(const char16_t* szUrl)
{
    StartPostContext(szUrl, DEFAULT_REQUEST_FLAGS);
    for (;;) {
        if (ResponseType* response = ProceedContext(0xFFFFFFFF))
            return response;
    }
}

}  // namespace Tavik
