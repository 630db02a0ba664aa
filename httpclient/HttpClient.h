#pragma once
// The request engine. Each request opens its own session, connection and request and
// hands all three to the response it returns. A post (url-encoded) or upload
// (multipart) body is sized completely before the request is sent, announced as its
// content length, and then pushed step by step by ProceedContext, so that callers can
// report progress and cancel between steps; the body is never assembled in memory.
//
// A client is used by one thread. It is idle or holds one active context; while a
// context is active the parameters and the encoding that sized its body cannot change.

#include "httpclient/HttpClientMap.h"
#include "httpclient/HttpEncoder.h"
#include "httpclient/HttpPostStat.h"
#include "httpclient/HttpRequestAbort.h"
#include "httpclient/HttpResponse.h"
#include "httpclient/HttpToolW.h"
#include "httpclient/HttpUrlAnalyzer.h"
#include "httpclient/HttpUrlRules.h"
#include "httpclient/MallocPtr.h"

#include "platform/wininet/WinInet.h"

#include <cstdlib>
#include <memory>
#include <vector>

namespace Tavik {

// Shared by the client's parts only (HttpClientInternal.h).
namespace clientpart {
struct BodySize;
}

// INTERNET_FLAG_RELOAD | NO_CACHE_WRITE | KEEP_CONNECTION | RESYNCHRONIZE | HYPERLINK |
// NO_UI | PRAGMA_NOCACHE: what every request of the program passes.
constexpr DWORD DEFAULT_REQUEST_FLAGS = 0x84400F00;

template <typename HttpTool, typename HttpEncoder>
class CHttpClientT {
public:
    using CharType = typename HttpTool::CharType;
    using MapType = CHttpClientMapT<HttpTool>;
    using PostStatType = CHttpPostStatT<HttpTool>;
    using ResponseType = CHttpResponseT<HttpTool>;
    using UrlAnalyzerType = CHttpUrlAnalyzerT<HttpTool>;

    static constexpr const char16_t* DefaultUserAgent = u"Tavik HTTP Client Class";
    static constexpr DWORD UploadReadBufferSize = 57344;

    CHttpClientT();
    virtual ~CHttpClientT();
    CHttpClientT(const CHttpClientT&) = delete;
    CHttpClientT& operator=(const CHttpClientT&) = delete;

    void SetInternetSettings(const char16_t* szUserAgent, DWORD dwAccessType = INTERNET_OPEN_TYPE_PRECONFIG,
                             const char16_t* szProxyName = nullptr, const char16_t* szProxyBypass = nullptr,
                             DWORD dwFlags = 0);
    // The proxy account applied to each connection; nothing in the program sets one.
    void SetProxyAccount(const char16_t* szUser, const char16_t* szPassword);
    bool SetUseUtf8(bool bUseUtf8);
    // Every request handle the client opens is reported to `abort` (may be null).
    void SetRequestAbort(CHttpRequestAbort* abort) { m_pAbort = abort; }
    typename MapType::Position AddParam(const char16_t* szName, const char16_t* szValue = nullptr, DWORD dwFlags = 0);
    // Extra request headers, sent with every request; nothing in the program adds any.
    typename MapType::Position AddHeader(const char16_t* szName, const char16_t* szValue);

    DWORD MakeGetUrlLen(const char16_t* szUrl);
    char16_t* MakeGetUrl(char16_t* szBuff, const char16_t* szUrl);

    // One-shot requests; the caller owns and deletes the response.
    ResponseType* ExecuteGet(const char16_t* szUrl, DWORD dwFlags = DEFAULT_REQUEST_FLAGS);
    ResponseType* ExecutePost(const char16_t* szUrl);

    void StartPostContext(const char16_t* szUrl, DWORD dwFlags = DEFAULT_REQUEST_FLAGS);
    void StartUploadContext(const char16_t* szUrl, DWORD dwFlags = DEFAULT_REQUEST_FLAGS);
    // One step of the active context: at most nDesired value bytes. Returns the
    // response, owned by the caller, when the request is finished; else null.
    ResponseType* ProceedContext(DWORD nDesired);
    void QueryPostStat(PostStatType& stat) const;

    bool IsContextActive() const { return m_statLive._IsActive(); }

private:
    using OwnedText = MallocPtr<char16_t>;
    using OwnedBytes = MallocPtr<char>;

    HINTERNET OpenSession();
    HINTERNET OpenConnection(HINTERNET hInternet, const char16_t* szUrl);
    void ApplyProxyAccount(HINTERNET hConnection);
    HINTERNET OpenRequest(HINTERNET hConnection, const char16_t* szVerb, const char16_t* szUrl, DWORD dwFlags);
    void AddRequestHeader(HINTERNET hRequest);
    void OpenPostRequest(const char16_t* szUrl, DWORD dwFlags, const char16_t* szContentType, DWORD cbBody);
    void _ActivateContext(const clientpart::BodySize& size, bool bPostContext);

    void _WritePost(const BYTE* pbyBuff, DWORD cbyBuff, bool bContent);
    void _WritePost(const char* szText);
    void _WriteParamText(const char16_t* szText);

    ResponseType* _ProceedPostContext(DWORD nDesired);
    ResponseType* _ProceedUploadContext(DWORD nDesired);
    clientpart::BodySize _SizeUploadBody();
    DWORD _ReserveUploadFiles();
    DWORD _OpenUploadFile(DWORD k, const char16_t* szPath);
    void _StartNextPostParam();
    void _WritePostValue(DWORD nDesired);
    void _StartNextUploadParam();
    void _WriteUploadContent(DWORD nDesired);
    void _WriteFileContent(HANDLE hFile, DWORD cbToWrite);
    void _ReadAhead(HANDLE hFile, DWORD cbWanted);
    template <typename Work>
    ResponseType* _RunStep(Work&& work);

    ResponseType* _ReleasePostResponse();
    void _DetachPostContext(HINTERNET& hInternet, HINTERNET& hConnection, HINTERNET& hRequest);
    void _AbortPostContext();
    void _CloseUploadFiles();
    void _SetCurrentValue(char* pbyValue, bool bOwned);
    char* _AnsiEncodeAlloc(const char16_t* szText);
    char* _Utf8EncodeAlloc(const char16_t* szText);
    char* _ParamEncodeAlloc(const char16_t* szText, DWORD& cbEncoded);
    DWORD _ParamEncodeLen(const char16_t* szText);
    DWORD _UrlEncodedLen(const char16_t* szText, bool bAlreadyEncoded);
    const char* _BoundaryA() const;
    const char16_t* _MultipartContentType() const;

    bool m_bStrictFileOpen = false;
    OwnedText m_szBoundary;
    OwnedBytes m_szBoundaryA;
    OwnedText m_szContentType;
    bool m_bUseUtf8 = false;
    UINT m_nCodePage = 0;
    MapType m_mapHeader;
    MapType m_mapParam;
    OwnedText m_szUserAgent;
    DWORD m_dwAccessType = INTERNET_OPEN_TYPE_PRECONFIG;
    OwnedText m_szProxyName;
    OwnedText m_szProxyBypass;
    DWORD m_dwOpenFlags = 0;
    OwnedText m_szProxyUser;
    OwnedText m_szProxyPassword;
    PostStatType m_statPreview;
    PostStatType m_statLive;
    // One entry per file parameter of an upload context, in map order.
    std::vector<HANDLE> m_ahFile;
    std::vector<OwnedBytes> m_apszMimeType;
    // The size each file had when the context started: the size its part announced.
    std::vector<DWORD> m_adwFileSize;
    char* m_pbyValue = nullptr;
    bool m_bValueOwned = false;
    HINTERNET m_hInternet = nullptr;
    HINTERNET m_hConnection = nullptr;
    HINTERNET m_hRequest = nullptr;
    bool m_bPostContext = true;
    std::unique_ptr<BYTE[]> m_pbyReadBuffer;
    // The bytes of the current file part read ahead into m_pbyReadBuffer, and how many
    // of them are written already.
    DWORD m_cbReadAhead = 0;
    DWORD m_cbReadAheadWritten = 0;
    CHttpRequestAbort* m_pAbort = nullptr;
};

using CHttpClient = CHttpClientT<CHttpToolW, CHttpEncoderW>;
using CHttpResponse = CHttpResponseT<CHttpToolW>;
using CHttpPostStat = CHttpPostStatT<CHttpToolW>;

extern template class CHttpClientT<CHttpToolW, CHttpEncoderW>;

}  // namespace Tavik
