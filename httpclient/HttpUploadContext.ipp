// The multipart upload context: each parameter one part of a multipart/form-data
// body, file parts streamed from disk. Every file is opened, sized and sniffed before
// the request is sent, so that the exact body length can be announced.
// Included once, by HttpClient.cpp.

#include "httpclient/HttpClient.h"
#include "httpclient/HttpClientInternal.h"

#include "platform/fileapi/FileApi.h"

#include <algorithm>
#include <new>

namespace Tavik {

using clientpart::IsEmptyText;
using clientpart::kFixedBoundaryA;
using clientpart::kFixedContentType;
using clientpart::TextLength;

namespace {

// "--" B "\r\n" "Content-Disposition: form-data; name=\"" N "\"\r\n\r\n" V "\r\n"
constexpr DWORD kFieldPartOverhead = kMultipartBoundaryLength + 49;
// ... N "\"; filename=\"" P "\"\r\nContent-Type: " M "\r\n\r\n" F "\r\n"
constexpr DWORD kFilePartOverhead = kMultipartBoundaryLength + 78;
constexpr DWORD kClosingDelimiter = kMultipartBoundaryLength + 6;  // "--" B "--\r\n"
constexpr DWORD kEmptyBody = kMultipartBoundaryLength + 8;         // "\r\n--" B "--\r\n"

}  // namespace

template <typename HttpTool, typename HttpEncoder>
const char* CHttpClientT<HttpTool, HttpEncoder>::_BoundaryA() const
{
    return m_szBoundaryA ? m_szBoundaryA.get() : kFixedBoundaryA;
}

template <typename HttpTool, typename HttpEncoder>
const char16_t* CHttpClientT<HttpTool, HttpEncoder>::_MultipartContentType() const
{
    return m_szBoundaryA ? m_szContentType.get() : kFixedContentType;
}

template <typename HttpTool, typename HttpEncoder>
DWORD CHttpClientT<HttpTool, HttpEncoder>::_ParamEncodeLen(const char16_t* szText)
{
    if (IsEmptyText(szText))
        return 0;
    return m_bUseUtf8 ? HttpEncoder::Utf8EncodeLen(szText) : HttpEncoder::AnsiEncodeLen(szText, m_nCodePage);
}

template <typename HttpTool, typename HttpEncoder>
char* CHttpClientT<HttpTool, HttpEncoder>::_ParamEncodeAlloc(const char16_t* szText, DWORD& cbEncoded)
{
    cbEncoded = _ParamEncodeLen(szText);
    return m_bUseUtf8 ? _Utf8EncodeAlloc(szText) : _AnsiEncodeAlloc(szText);
}

template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::_WriteParamText(const char16_t* szText)
{
    if (IsEmptyText(szText))
        return;
    DWORD cbText = 0;
    OwnedBytes text(_ParamEncodeAlloc(szText, cbText));
    _WritePost(reinterpret_cast<const BYTE*>(text.get()), cbText, false);
}

template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::StartUploadContext(const char16_t* szUrl, DWORD dwFlags)
{
    _AbortPostContext();

    clientpart::BodySize size;
    try {
        size = _SizeUploadBody();
        OpenPostRequest(szUrl, dwFlags, _MultipartContentType(), size.cbBody);
    } catch (const std::bad_alloc&) {
        _CloseUploadFiles();
        ThrowHttpError(HttpError::OutOfMemory);
    } catch (...) {
        _CloseUploadFiles();
        throw;
    }
    _ActivateContext(size, false);
}

// Every part in map order, each file opened, sized and sniffed on the way; the files
// stay open for the context.
template <typename HttpTool, typename HttpEncoder>
clientpart::BodySize CHttpClientT<HttpTool, HttpEncoder>::_SizeUploadBody()
{
    clientpart::BodySize size;
    size.nFiles = _ReserveUploadFiles();
    DWORD k = 0;
    for (const auto& entry : m_mapParam) {
        if ((entry.second.dwFlags & PARAM_FLAG_FILE) == 0) {
            const DWORD cbValue = _ParamEncodeLen(entry.second.szValue);
            const DWORD cbPart = CheckedAdd(CheckedAdd(kFieldPartOverhead, _ParamEncodeLen(entry.first)), cbValue);
            size.Add(entry.first, cbPart, cbValue, false, nullptr);
            continue;
        }
        const char16_t* szPath = entry.second.szValue;
        const DWORD cbFile = _OpenUploadFile(k, szPath);
        DWORD cbPart = CheckedAdd(kFilePartOverhead, _ParamEncodeLen(entry.first));
        cbPart = CheckedAdd(cbPart, _ParamEncodeLen(szPath));
        cbPart = CheckedAdd(cbPart, TextLength(m_apszMimeType[k].get()));
        cbPart = CheckedAdd(cbPart, cbFile);
        size.Add(entry.first, cbPart, cbFile, true, szPath);
        ++k;
    }
    size.cbBody = CheckedAdd(size.cbBody, size.nParams != 0 ? kClosingDelimiter : kEmptyBody);
    return size;
}

// One closed slot per file parameter; returns their number.
template <typename HttpTool, typename HttpEncoder>
DWORD CHttpClientT<HttpTool, HttpEncoder>::_ReserveUploadFiles()
{
    DWORD nFiles = 0;
    for (const auto& entry : m_mapParam)
        nFiles += (entry.second.dwFlags & PARAM_FLAG_FILE) ? 1 : 0;
    m_ahFile.assign(nFiles, INVALID_HANDLE_VALUE);
    m_apszMimeType.resize(nFiles);
    m_adwFileSize.assign(nFiles, 0);
    return nFiles;
}

// Opens file parameter k and notes its size and type. Unless opening is strict, a file
// that does not open is sent as an empty part of the default type.
template <typename HttpTool, typename HttpEncoder>
DWORD CHttpClientT<HttpTool, HttpEncoder>::_OpenUploadFile(DWORD k, const char16_t* szPath)
{
    DWORD cbFile = 0;
    if (szPath != nullptr) {
        m_ahFile[k] = HttpTool::OpenFile(szPath);
        const DWORD dwOpenError = ::GetLastError();
        if (m_ahFile[k] == INVALID_HANDLE_VALUE && m_bStrictFileOpen)
            ThrowHttpApiError(HttpError::OpenFileFailed, dwOpenError, szPath);
        if (m_ahFile[k] != INVALID_HANDLE_VALUE)
            cbFile = HttpTool::GetFileSize(m_ahFile[k], szPath);
    } else if (m_bStrictFileOpen) {
        ThrowHttpApiError(HttpError::OpenFileFailed, ERROR_INVALID_PARAMETER, u"");
    }
    m_apszMimeType[k].reset(HttpTool::GetMimeType(m_ahFile[k], m_nCodePage));
    m_adwFileSize[k] = cbFile;
    return cbFile;
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
    m_cbReadAhead = m_cbReadAheadWritten = 0;
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

// Reads ahead a whole buffer of the part at a time, never past the part's end: an upload
// driven in 1 KiB steps would otherwise make a system call for every step, which took
// longer than sending the bytes.
template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::_WriteFileContent(HANDLE hFile, DWORD cbToWrite)
{
    if (!m_pbyReadBuffer) {
        m_pbyReadBuffer.reset(new (std::nothrow) BYTE[UploadReadBufferSize]);
        if (!m_pbyReadBuffer)
            ThrowHttpError(HttpError::OutOfMemory);
    }
    DWORD cbPartLeft = m_statLive.CurrParamRemainByte();
    for (DWORD cbLeft = cbToWrite; cbLeft != 0;) {
        if (m_cbReadAheadWritten == m_cbReadAhead)
            _ReadAhead(hFile, std::min(cbPartLeft, UploadReadBufferSize));
        const DWORD cbTake = std::min(cbLeft, m_cbReadAhead - m_cbReadAheadWritten);
        _WritePost(m_pbyReadBuffer.get() + m_cbReadAheadWritten, cbTake, true);
        m_cbReadAheadWritten += cbTake;
        cbLeft -= cbTake;
        cbPartLeft -= cbTake;
    }
}

template <typename HttpTool, typename HttpEncoder>
void CHttpClientT<HttpTool, HttpEncoder>::_ReadAhead(HANDLE hFile, DWORD cbWanted)
{
    m_cbReadAhead = m_cbReadAheadWritten = 0;
    DWORD cbRead = 0;
    if (!::ReadFile(hFile, m_pbyReadBuffer.get(), cbWanted, &cbRead, nullptr))
        ThrowHttpApiError(HttpError::ReadFileFailed, ::GetLastError());
    if (cbRead < cbWanted)
        ThrowHttpError(HttpError::UnexpectedFileBytes);
    m_cbReadAhead = cbRead;
}

}  // namespace Tavik
