// The multipart upload context: each parameter one part of a multipart/form-data
// body, file parts streamed from disk. Every file is opened, sized and sniffed before
// the request is sent, so that the exact body length can be announced.
// Included once, by HttpClient.cpp.

namespace Tavik {

namespace {

constexpr DWORD kBoundaryLength = 43;
// "--" B "\r\n" "Content-Disposition: form-data; name=\"" N "\"\r\n\r\n" V "\r\n"
constexpr DWORD kFieldPartOverhead = kBoundaryLength + 49;
// ... N "\"; filename=\"" P "\"\r\nContent-Type: " M "\r\n\r\n" F "\r\n"
constexpr DWORD kFilePartOverhead = kBoundaryLength + 78;
constexpr DWORD kClosingDelimiter = kBoundaryLength + 6;  // "--" B "--\r\n"
constexpr DWORD kEmptyBody = kBoundaryLength + 8;         // "\r\n--" B "--\r\n"

}  // namespace

template <typename HttpTool, typename HttpEncoder>
const char* CHttpClientT<HttpTool, HttpEncoder>::_BoundaryA() const
{
    return m_szBoundaryA ? m_szBoundaryA.get() : kFixedBoundaryA;
}

template <typename HttpTool, typename HttpEncoder>
LPCWSTR CHttpClientT<HttpTool, HttpEncoder>::_MultipartContentType() const
{
    return m_szBoundaryA ? m_szContentType.get() : kFixedContentType;
}

template <typename HttpTool, typename HttpEncoder>
DWORD CHttpClientT<HttpTool, HttpEncoder>::_ParamEncodeLen(LPCWSTR szText)
{
    if (IsEmptyText(szText))
        return 0;
    return m_bUseUtf8 ? HttpEncoder::Utf8EncodeLen(szText) : HttpEncoder::AnsiEncodeLen(szText, m_nCodePage);
}

template <typename HttpTool, typename HttpEncoder>
char* CHttpClientT<HttpTool, HttpEncoder>::_ParamEncodeAlloc(LPCWSTR szText, DWORD& cbEncoded)
{
    cbEncoded = _ParamEncodeLen(szText);
    return m_bUseUtf8 ? _Utf8EncodeAlloc(szText) : _AnsiEncodeAlloc(szText);
}

template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::_WriteParamText(LPCWSTR szText)
{
    if (IsEmptyText(szText))
        return;
    DWORD cbText = 0;
    OwnedBytes text(_ParamEncodeAlloc(szText, cbText));
    _WritePost(reinterpret_cast<const BYTE*>(text.get()), cbText, false);
}

template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::StartUploadContext(LPCWSTR szUrl, DWORD dwFlags)
{
    _AbortPostContext();

    DWORD cbBody = 0;
    DWORD cbContent = 0;
    DWORD nParams = 0;
    DWORD nFiles = 0;
    LPCWSTR szFirstName = nullptr;
    LPCWSTR szFirstPath = nullptr;
    DWORD cbFirstContent = 0;
    bool bFirstIsFile = false;
    try {
        for (const auto& entry : m_mapParam)
            nFiles += (entry.second.dwFlags & PARAM_FLAG_FILE) ? 1 : 0;
        m_ahFile.assign(nFiles, INVALID_HANDLE_VALUE);
        m_apszMimeType.resize(nFiles);
        m_adwFileSize.assign(nFiles, 0);

        DWORD k = 0;
        for (const auto& entry : m_mapParam) {
            const bool bFile = (entry.second.dwFlags & PARAM_FLAG_FILE) != 0;
            DWORD cbPart = 0;
            DWORD cbPartContent = 0;
            if (bFile) {
                LPCWSTR szPath = entry.second.szValue;
                if (szPath != nullptr) {
                    m_ahFile[k] = HttpTool::OpenFile(szPath);
                    const DWORD dwOpenError = ::GetLastError();
                    if (m_ahFile[k] == INVALID_HANDLE_VALUE && m_bStrictFileOpen)
                        ThrowHttpApiError(HttpError::OpenFile, dwOpenError, szPath);
                    if (m_ahFile[k] != INVALID_HANDLE_VALUE)
                        cbPartContent = HttpTool::GetFileSize(m_ahFile[k], szPath);
                } else if (m_bStrictFileOpen) {
                    ThrowHttpApiError(HttpError::OpenFile, ERROR_INVALID_PARAMETER, u"");
                }
                m_apszMimeType[k].reset(HttpTool::GetMimeType(m_ahFile[k], m_nCodePage));
                m_adwFileSize[k] = cbPartContent;
                cbPart = CheckedAdd(kFilePartOverhead, _ParamEncodeLen(entry.first));
                cbPart = CheckedAdd(cbPart, _ParamEncodeLen(szPath));
                cbPart = CheckedAdd(cbPart, TextLength(m_apszMimeType[k].get()));
                cbPart = CheckedAdd(cbPart, cbPartContent);
                ++k;
            } else {
                cbPartContent = _ParamEncodeLen(entry.second.szValue);
                cbPart = CheckedAdd(kFieldPartOverhead, _ParamEncodeLen(entry.first));
                cbPart = CheckedAdd(cbPart, cbPartContent);
            }
            cbBody = CheckedAdd(cbBody, cbPart);
            cbContent = CheckedAdd(cbContent, cbPartContent);
            if (nParams++ == 0) {
                szFirstName = entry.first;
                szFirstPath = bFile ? entry.second.szValue : nullptr;
                cbFirstContent = cbPartContent;
                bFirstIsFile = bFile;
            }
        }
        cbBody = CheckedAdd(cbBody, nParams != 0 ? kClosingDelimiter : kEmptyBody);

        OpenPostRequest(szUrl, dwFlags, _MultipartContentType(), cbBody);
    } catch (const std::bad_alloc&) {
        _CloseUploadFiles();
        ThrowHttpError(HttpError::OutOfMemory);
    } catch (...) {
        _CloseUploadFiles();
        throw;
    }

    m_statLive._Activate(cbBody, cbContent, nParams, nFiles);
    m_bPostContext = false;
    if (nParams == 0)
        return;
    m_statPreview = m_statLive;
    m_statPreview._StartNewEntry(szFirstName, cbFirstContent, bFirstIsFile, szFirstPath);
}

template <typename HttpTool, typename HttpEncoder>
typename CHttpClientT<HttpTool, HttpEncoder>::ResponseType*
CHttpClientT<HttpTool, HttpEncoder>::_ProceedUploadContext(DWORD nDesired)
{
    if (!IsContextActive())
        ThrowHttpError(HttpError::PostNotStarted);
    if (m_hInternet == nullptr)
        ThrowHttpMessage(u"CHttpClientT::_ProceedUploadContext: m_hInternet can not be NULL.");
    if (m_hConnection == nullptr)
        ThrowHttpMessage(u"CHttpClientT::_ProceedUploadContext: m_hConnection can not be NULL.");
    if (m_hRequest == nullptr)
        ThrowHttpMessage(u"CHttpClientT::_ProceedUploadContext: m_hRequest can not be NULL.");
    if (nDesired == 0)
        ThrowHttpMessage(u"CHttpClientT::_ProceedUploadContext: nDesired can not be zero.");

    return _RunStep([&]() -> ResponseType* {
        if (m_statLive.ActualPostedByte() == m_statLive.ActualTotalByte()) {
            HttpTool::EndRequest(m_hRequest);
            return _ReleasePostResponse();
        }
        if (m_statLive.TotalCount() == 0) {
            _WritePost("\r\n--");
            _WritePost(_BoundaryA());
            _WritePost("--\r\n");
            return nullptr;
        }
        if (!m_statLive.CurrParamIsComplete()) {
            _WriteUploadContent(nDesired);
            return nullptr;
        }
        if (m_statLive.PostedCount() == m_statLive.TotalCount()) {
            _WritePost("--");
            _WritePost(_BoundaryA());
            _WritePost("--\r\n");
            return nullptr;
        }
        _StartNextUploadParam();
        return nullptr;
    });
}

// Writes the part's delimiter and headers whole; a part without content is closed at once.
template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::_StartNextUploadParam()
{
    const auto& entry = *m_mapParam.Nth(m_statLive.PostedCount());
    const bool bFile = (entry.second.dwFlags & PARAM_FLAG_FILE) != 0;
    const DWORD k = m_statLive.PostedFileCount();
    DWORD cbContent = 0;
    if (bFile) {
        const HANDLE hFile = m_ahFile[k];
        cbContent = hFile != INVALID_HANDLE_VALUE ? HttpTool::GetFileSize(hFile, entry.second.szValue) : 0;
        // A file that changed size since the body was sized would break the announced length.
        if (cbContent != m_adwFileSize[k])
            ThrowHttpError(HttpError::UnexpectedFileBytes);
    } else if (IsEmptyText(entry.second.szValue)) {
        _SetCurrentValue(nullptr, false);
    } else {
        _SetCurrentValue(_ParamEncodeAlloc(entry.second.szValue, cbContent), true);
    }

    _WritePost("--");
    _WritePost(_BoundaryA());
    _WritePost("\r\n");
    _WritePost("Content-Disposition: form-data; name=\"");
    _WriteParamText(entry.first);
    if (bFile) {
        _WritePost("\"; filename=\"");
        _WriteParamText(entry.second.szValue);
        _WritePost("\"\r\nContent-Type: ");
        _WritePost(m_apszMimeType[k].get());
        _WritePost("\r\n\r\n");
    } else {
        _WritePost("\"\r\n\r\n");
    }
    m_statLive._StartNewEntry(entry.first, cbContent, bFile, bFile ? entry.second.szValue : nullptr);
    if (cbContent == 0)
        _WritePost("\r\n");
}

template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::_WriteUploadContent(DWORD nDesired)
{
    const DWORD cbToWrite = std::min(nDesired, m_statLive.CurrParamRemainByte());
    if (m_statLive.CurrParamIsFile())
        _WriteFileContent(m_ahFile[m_statLive.PostedFileCount() - 1], cbToWrite);
    else
        _WritePost(reinterpret_cast<const BYTE*>(m_pbyValue) + m_statLive.CurrParamPostedByte(), cbToWrite, true);
    if (m_statLive.CurrParamRemainByte() == 0)
        _WritePost("\r\n");
}

template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::_WriteFileContent(HANDLE hFile, DWORD cbToWrite)
{
    if (!m_pbyReadBuffer) {
        m_pbyReadBuffer.reset(new (std::nothrow) BYTE[UploadReadBufferSize]);
        if (!m_pbyReadBuffer)
            ThrowHttpError(HttpError::OutOfMemory);
    }
    for (DWORD cbLeft = cbToWrite; cbLeft != 0;) {
        const DWORD cbWanted = std::min(cbLeft, UploadReadBufferSize);
        DWORD cbRead = 0;
        if (!::ReadFile(hFile, m_pbyReadBuffer.get(), cbWanted, &cbRead, nullptr))
            ThrowHttpApiError(HttpError::ReadFile, ::GetLastError());
        if (cbRead < cbWanted)
            ThrowHttpError(HttpError::UnexpectedFileBytes);
        _WritePost(m_pbyReadBuffer.get(), cbRead, true);
        cbLeft -= cbRead;
    }
}

}  // namespace Tavik
