// The client object, its settings, the steps every request shares, the GET address
// with parameters, the one-shot GET, and the machinery both context kinds share.
// Included once, by HttpClient.cpp.

#include "httpclient/HttpClient.h"
#include "httpclient/HttpClientInternal.h"

#include "platform/fileapi/FileApi.h"
#include "platform/win32/WideCrt.h"

#include <algorithm>
#include <new>
#include <string>
#include <utility>

namespace Tavik {

using clientpart::CopyTextOrThrow;
using clientpart::IsEmptyText;
using clientpart::kMultipartContentTypePrefix;
using clientpart::TextLength;

template <typename HttpTool, typename HttpEncoder>
CHttpClientT<HttpTool, HttpEncoder>::CHttpClientT()
{
    m_szBoundary.reset(HttpTool::GenerateBoundary());
    if (!m_szBoundary)
        return;
    // Without a boundary of its own the client sends its fixed one; construction never fails.
    try {
        const std::u16string contentType = std::u16string(kMultipartContentTypePrefix) + m_szBoundary.get();
        m_szContentType.reset(CopyTextOrThrow(contentType.c_str()));
        m_szBoundaryA.reset(_AnsiEncodeAlloc(m_szBoundary.get()));
    } catch (...) {
        m_szBoundary.reset();
        m_szContentType.reset();
        m_szBoundaryA.reset();
    }
}

template <typename HttpTool, typename HttpEncoder>
CHttpClientT<HttpTool, HttpEncoder>::~CHttpClientT()
{
    try {
        _AbortPostContext();
    } catch (...) {
    }
}

template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::SetInternetSettings(const char16_t* szUserAgent, DWORD dwAccessType,
                                                              const char16_t* szProxyName,
                                                              const char16_t* szProxyBypass, DWORD dwFlags)
{
    auto replace = [](OwnedText& held, const char16_t* text) {
        if (held && text && wcrt::wcslen(held.get()) == wcrt::wcslen(text) &&
            std::char_traits<char16_t>::compare(held.get(), text, wcrt::wcslen(text)) == 0)
            return;
        held.reset(CopyTextOrThrow(text));
    };
    replace(m_szUserAgent, szUserAgent);
    replace(m_szProxyName, szProxyName);
    replace(m_szProxyBypass, szProxyBypass);
    m_dwAccessType = dwAccessType;
    m_dwOpenFlags = dwFlags;
}

template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::SetProxyAccount(const char16_t* szUser, const char16_t* szPassword)
{
    OwnedText user(CopyTextOrThrow(szUser));
    OwnedText password(CopyTextOrThrow(szPassword));
    m_szProxyUser = std::move(user);
    m_szProxyPassword = std::move(password);
}

template <typename HttpTool, typename HttpEncoder>
bool CHttpClientT<HttpTool, HttpEncoder>::SetUseUtf8(bool bUseUtf8)
{
    if (IsContextActive())
        ThrowHttpMessage(
            u"CHttpClientT::SetUseUtf8: It is not allowed to call this method if the POST context is active.");
    const bool previous = m_bUseUtf8;
    m_bUseUtf8 = bUseUtf8;
    return previous;
}

template <typename HttpTool, typename HttpEncoder>
typename CHttpClientT<HttpTool, HttpEncoder>::MapType::Position
CHttpClientT<HttpTool, HttpEncoder>::AddParam(const char16_t* szName, const char16_t* szValue, DWORD dwFlags)
{
    if (IsContextActive())
        ThrowHttpMessage(
            u"CHttpClientT::AddParam: It is not allowed to call this method if the POST context is active.");
    return m_mapParam.Add(szName, szValue, dwFlags);
}

template <typename HttpTool, typename HttpEncoder>
typename CHttpClientT<HttpTool, HttpEncoder>::MapType::Position
CHttpClientT<HttpTool, HttpEncoder>::AddHeader(const char16_t* szName, const char16_t* szValue)
{
    return m_mapHeader.Add(szName, szValue, 0);
}

template <typename HttpTool, typename HttpEncoder>
HINTERNET CHttpClientT<HttpTool, HttpEncoder>::OpenSession()
{
    HINTERNET hInternet = ::InternetOpenW(m_szUserAgent ? m_szUserAgent.get() : DefaultUserAgent, m_dwAccessType,
                                          m_szProxyName.get(), m_szProxyBypass.get(), m_dwOpenFlags);
    if (hInternet == nullptr)
        ThrowHttpApiError(HttpError::InternetOpenFailed, ::GetLastError());
    return hInternet;
}

template <typename HttpTool, typename HttpEncoder>
HINTERNET CHttpClientT<HttpTool, HttpEncoder>::OpenConnection(HINTERNET hInternet, const char16_t* szUrl)
{
    if (hInternet == nullptr)
        ThrowHttpMessage(u"CHttpClientT::OpenConnection: hInternet can not be NULL.");
    UrlAnalyzerType url;
    url.Analyze(szUrl, m_nCodePage);
    // The port is judged before the host, so an address with both faults reports the port.
    const INTERNET_PORT port = GetPort(url, szUrl);
    OwnedText host(CopyHost(url, szUrl));
    HINTERNET hConnection = HttpTool::OpenConnection(hInternet, host.get(), port);
    try {
        ApplyProxyAccount(hConnection);
    } catch (...) {
        ::InternetCloseHandle(hConnection);
        throw;
    }
    return hConnection;
}

template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::ApplyProxyAccount(HINTERNET hConnection)
{
    if (hConnection == nullptr)
        ThrowHttpMessage(u"CHttpClientT::ApplyProxyAccount: hConnection can not be NULL.");
    if (IsEmptyText(m_szProxyUser.get()) || IsEmptyText(m_szProxyPassword.get()))
        return;
    auto setOption = [&](DWORD option, char16_t* text) {
        if (!::InternetSetOptionW(hConnection, option, text, TextLength(text)))
            ThrowHttpApiError(HttpError::InternetSetOptionFailed, ::GetLastError());
    };
    setOption(INTERNET_OPTION_PROXY_USERNAME, m_szProxyUser.get());
    setOption(INTERNET_OPTION_PROXY_PASSWORD, m_szProxyPassword.get());
}

template <typename HttpTool, typename HttpEncoder>
HINTERNET CHttpClientT<HttpTool, HttpEncoder>::OpenRequest(HINTERNET hConnection, const char16_t* szVerb,
                                                           const char16_t* szUrl, DWORD dwFlags)
{
    if (hConnection == nullptr)
        ThrowHttpMessage(u"CHttpClientT::OpenRequest: hConnection can not be NULL.");
    UrlAnalyzerType url;
    url.Analyze(szUrl, m_nCodePage);
    if (IsSecure(url, szUrl))
        dwFlags |= INTERNET_FLAG_SECURE;
    const OwnedText objectName(CopyObjectName(url, szUrl));
    HINTERNET hRequest = HttpTool::OpenRequest(hConnection, szVerb, objectName.get(), dwFlags, m_nCodePage);
    if (m_pAbort != nullptr)
        m_pAbort->Watch(hRequest);
    if ((dwFlags & INTERNET_FLAG_PRAGMA_NOCACHE) == 0)
        return hRequest;
    try {
        HttpTool::AddHeader(hRequest, u"Cache-Control", u"no-cache", m_nCodePage);
    } catch (...) {
        ::InternetCloseHandle(hRequest);
        throw;
    }
    return hRequest;
}

template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::AddRequestHeader(HINTERNET hRequest)
{
    if (hRequest == nullptr)
        ThrowHttpMessage(u"CHttpClientT::AddRequestHeader: hRequest can not be NULL.");
    for (const auto& entry : m_mapHeader)
        HttpTool::AddHeader(hRequest, entry.first, entry.second.szValue, m_nCodePage);
}

template <typename HttpTool, typename HttpEncoder>
DWORD CHttpClientT<HttpTool, HttpEncoder>::_UrlEncodedLen(const char16_t* szText, bool bAlreadyEncoded)
{
    return bAlreadyEncoded ? TextLength(szText) : HttpEncoder::UrlEncodeLen(szText, m_bUseUtf8, m_nCodePage);
}

template <typename HttpTool, typename HttpEncoder>
DWORD CHttpClientT<HttpTool, HttpEncoder>::MakeGetUrlLen(const char16_t* szUrl)
{
    DWORD length = TextLength(szUrl);
    if (m_mapParam.Count() == 0)
        return length;
    for (const auto& entry : m_mapParam) {
        const DWORD nameLength = _UrlEncodedLen(entry.first, (entry.second.dwFlags & PARAM_FLAG_ENCODED_NAME) != 0);
        const DWORD valueLength =
            _UrlEncodedLen(entry.second.szValue, (entry.second.dwFlags & PARAM_FLAG_ENCODED_VALUE) != 0);
        length = CheckedAdd(length, CheckedAdd(CheckedAdd(nameLength, valueLength), 2));
    }
    if (szUrl == nullptr)
        return CheckedSub(length, 1);  // no leading '?'
    UrlAnalyzerType url;
    url.Analyze(szUrl, m_nCodePage);
    return url.PathLength() == 0 ? CheckedAdd(length, 1) : length;  // the inserted '/'
}

template <typename HttpTool, typename HttpEncoder>
char16_t* CHttpClientT<HttpTool, HttpEncoder>::MakeGetUrl(char16_t* szBuff, const char16_t* szUrl)
{
    if (szBuff == nullptr)
        ThrowHttpMessage(u"CHttpClientT::MakeGetUrl: szBuff can not be NULL.");
    char16_t* out = szBuff;
    auto copy = [&out](const char16_t* from, DWORD count) {
        std::copy(from, from + count, out);
        out += count;
    };
    auto writeText = [&](const char16_t* text, bool bAlreadyEncoded) {
        if (bAlreadyEncoded) {
            copy(text ? text : u"", TextLength(text));
            return;
        }
        HttpEncoder::UrlEncodeW(out, text, m_bUseUtf8, m_nCodePage);
        out += wcrt::wcslen(out);
    };

    if (m_mapParam.Count() == 0) {
        copy(szUrl ? szUrl : u"", TextLength(szUrl));
        *out = u'\0';
        return szBuff;
    }
    UrlAnalyzerType url;
    if (szUrl != nullptr) {
        url.Analyze(szUrl, m_nCodePage);
        copy(szUrl, url.PathOffset());
        if (url.PathLength() == 0)
            *out++ = u'/';
        copy(szUrl + url.PathOffset(), url.FragmentOffset() - url.PathOffset());
        *out++ = url.QueryLength() != 0 ? u'&' : u'?';
    }
    bool first = true;
    for (const auto& entry : m_mapParam) {
        if (!first)
            *out++ = u'&';
        first = false;
        writeText(entry.first, (entry.second.dwFlags & PARAM_FLAG_ENCODED_NAME) != 0);
        *out++ = u'=';
        writeText(entry.second.szValue, (entry.second.dwFlags & PARAM_FLAG_ENCODED_VALUE) != 0);
    }
    if (szUrl != nullptr)
        copy(szUrl + url.FragmentOffset(), url.FragmentLength());
    *out = u'\0';
    return szBuff;
}

template <typename HttpTool, typename HttpEncoder>
typename CHttpClientT<HttpTool, HttpEncoder>::ResponseType*
CHttpClientT<HttpTool, HttpEncoder>::ExecuteGet(const char16_t* szUrl, DWORD dwFlags)
{
    _AbortPostContext();
    clientpart::PendingRequest<HttpTool> pending;
    try {
        pending.hInternet = OpenSession();
        pending.hConnection = OpenConnection(pending.hInternet, szUrl);
        std::u16string address;
        if (m_mapParam.Count() != 0) {
            address.resize(CheckedAdd(MakeGetUrlLen(szUrl), 1));
            MakeGetUrl(address.data(), szUrl);
        }
        pending.hRequest = OpenRequest(pending.hConnection, u"GET", address.empty() ? szUrl : address.c_str(), dwFlags);
        AddRequestHeader(pending.hRequest);
        HttpTool::SendRequest(pending.hRequest, m_nCodePage);
        auto* response = new ResponseType(pending.hInternet, pending.hConnection, pending.hRequest);
        pending.Release();
        return response;
    } catch (const httpclientexceptionW&) {
        throw;
    } catch (const std::bad_alloc&) {
        ThrowHttpError(HttpError::OutOfMemory);
    } catch (...) {
        ThrowHttpError(HttpError::Unexpected);
    }
}

template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::OpenPostRequest(const char16_t* szUrl, DWORD dwFlags,
                                                          const char16_t* szContentType, DWORD cbBody)
{
    clientpart::PendingRequest<HttpTool> pending;
    pending.hInternet = OpenSession();
    pending.hConnection = OpenConnection(pending.hInternet, szUrl);
    pending.hRequest = OpenRequest(pending.hConnection, u"POST", szUrl, dwFlags);
    AddRequestHeader(pending.hRequest);
    HttpTool::AddHeader(pending.hRequest, u"Content-Type", szContentType, m_nCodePage);
    HttpTool::SendRequestEx(pending.hRequest, cbBody);
    m_hInternet = pending.hInternet;
    m_hConnection = pending.hConnection;
    m_hRequest = pending.hRequest;
    pending.Release();
}

// The request is sent and its body announced: counting starts.
template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::_ActivateContext(const clientpart::BodySize& size, bool bPostContext)
{
    m_statLive._Activate(size.cbBody, size.cbContent, size.nParams, size.nFiles);
    m_bPostContext = bPostContext;
    if (size.nParams == 0)
        return;
    m_statPreview = m_statLive;
    m_statPreview._StartNewEntry(size.szFirstName, size.cbFirstContent, size.bFirstIsFile, size.szFirstPath);
}

template <typename HttpTool, typename HttpEncoder>
typename CHttpClientT<HttpTool, HttpEncoder>::ResponseType*
CHttpClientT<HttpTool, HttpEncoder>::ProceedContext(DWORD nDesired)
{
    return m_bPostContext ? _ProceedPostContext(nDesired) : _ProceedUploadContext(nDesired);
}

// The work of a step that passed its checks: any failure abandons the request on the
// wire and leaves the client idle before the error goes on.
template <typename HttpTool, typename HttpEncoder>
template <typename Work>
typename CHttpClientT<HttpTool, HttpEncoder>::ResponseType* CHttpClientT<HttpTool, HttpEncoder>::_RunStep(Work&& work)
{
    try {
        return work();
    } catch (const std::bad_alloc&) {
        _AbortPostContext();
        ThrowHttpError(HttpError::OutOfMemory);
    } catch (...) {
        _AbortPostContext();
        throw;
    }
}

template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::_WritePost(const BYTE* pbyBuff, DWORD cbyBuff, bool bContent)
{
    if (m_hRequest == nullptr)
        ThrowHttpMessage(u"CHttpClientT::_WritePost: m_hRequest can not be NULL.");
    if (pbyBuff == nullptr || cbyBuff == 0)
        return;
    if (bContent)
        m_statLive._TestAddPostedBytes(cbyBuff);
    else
        m_statLive._TestAddActualPostedBytes(cbyBuff);
    HttpTool::InternetWriteFile(m_hRequest, pbyBuff, cbyBuff);
    if (bContent)
        m_statLive._AddPostedBytes(cbyBuff);
    m_statLive._AddActualPostedBytes(cbyBuff);
}

template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::_WritePost(const char* szText)
{
    if (szText != nullptr)
        _WritePost(reinterpret_cast<const BYTE*>(szText), TextLength(szText), false);
    else if (m_hRequest == nullptr)
        ThrowHttpMessage(u"CHttpClientT::_WritePost: m_hRequest can not be NULL.");
}

template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::QueryPostStat(PostStatType& stat) const
{
    const bool previewShowsFirstParam =
        m_statLive._IsActive() && m_statLive.TotalCount() != 0 && m_statLive.PostedCount() == 0;
    stat = previewShowsFirstParam ? m_statPreview : m_statLive;
}

template <typename HttpTool, typename HttpEncoder>
typename CHttpClientT<HttpTool, HttpEncoder>::ResponseType* CHttpClientT<HttpTool, HttpEncoder>::_ReleasePostResponse()
{
    clientpart::PendingRequest<HttpTool> detached;
    _DetachPostContext(detached.hInternet, detached.hConnection, detached.hRequest);
    auto* response = new (std::nothrow) ResponseType(detached.hInternet, detached.hConnection, detached.hRequest);
    if (response == nullptr)
        ThrowHttpError(HttpError::OutOfMemory);
    detached.Release();
    return response;
}

template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::_DetachPostContext(HINTERNET& hInternet, HINTERNET& hConnection,
                                                             HINTERNET& hRequest)
{
    if (!IsContextActive())
        ThrowHttpMessage(u"CHttpClientT::_ReleasePostResponse: The post context is not active.");
    hInternet = std::exchange(m_hInternet, nullptr);
    hConnection = std::exchange(m_hConnection, nullptr);
    hRequest = std::exchange(m_hRequest, nullptr);
    _CloseUploadFiles();
    _SetCurrentValue(nullptr, false);
    m_pbyReadBuffer.reset();
    m_cbReadAhead = m_cbReadAheadWritten = 0;
    m_statLive._Reset();
}

template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::_AbortPostContext()
{
    if (!IsContextActive())
        return;
    clientpart::PendingRequest<HttpTool> detached;
    _DetachPostContext(detached.hInternet, detached.hConnection, detached.hRequest);
}

template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::_CloseUploadFiles()
{
    for (HANDLE hFile : m_ahFile) {
        if (hFile != INVALID_HANDLE_VALUE && hFile != nullptr)
            ::CloseHandle(hFile);
    }
    m_ahFile.clear();
    m_apszMimeType.clear();
    m_adwFileSize.clear();
}

template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::_SetCurrentValue(char* pbyValue, bool bOwned)
{
    if (m_bValueOwned)
        std::free(m_pbyValue);
    m_pbyValue = pbyValue;
    m_bValueOwned = bOwned;
}

template <typename HttpTool, typename HttpEncoder>
char* CHttpClientT<HttpTool, HttpEncoder>::_AnsiEncodeAlloc(const char16_t* szText)
{
    const DWORD length = HttpEncoder::AnsiEncodeLen(szText, m_nCodePage);
    OwnedBytes buffer(static_cast<char*>(std::malloc(CheckedAdd(length, 1))));
    if (!buffer)
        ThrowHttpError(HttpError::OutOfMemory);
    HttpEncoder::AnsiEncode(buffer.get(), szText, m_nCodePage);
    return buffer.release();
}

template <typename HttpTool, typename HttpEncoder>
char* CHttpClientT<HttpTool, HttpEncoder>::_Utf8EncodeAlloc(const char16_t* szText)
{
    const DWORD length = HttpEncoder::Utf8EncodeLen(szText);
    OwnedBytes buffer(static_cast<char*>(std::malloc(CheckedAdd(length, 1))));
    if (!buffer)
        ThrowHttpError(HttpError::OutOfMemory);
    HttpEncoder::Utf8Encode(buffer.get(), szText);
    return buffer.release();
}

}  // namespace Tavik
