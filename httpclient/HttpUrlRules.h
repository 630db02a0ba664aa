#pragma once
// What the client reads out of an analysed address: the secure flag, the port, the
// host to connect to and the object name of a request.

#include "httpclient/CheckedArithmetic.h"
#include "httpclient/HttpErrors.h"
#include "httpclient/HttpUrlAnalyzer.h"
#include "platform/win32/WideCrt.h"
#include "platform/wininet/WinInet.h"

#include <cstdlib>
#include <cstring>

namespace Tavik {

namespace detail {

template <typename CharType>
CharType* UrlCopyRange(const CharType* szFirst, DWORD dwLength, const CharType* szPrefix, DWORD dwPrefixLength)
{
    const DWORD cbCopy = CheckedMul(CheckedAdd(CheckedAdd(dwPrefixLength, dwLength), 1), sizeof(CharType));
    auto* szCopy = static_cast<CharType*>(std::malloc(cbCopy));
    if (szCopy == nullptr)
        ThrowHttpError(HttpError::OutOfMemory);
    if (dwPrefixLength != 0)
        std::memcpy(szCopy, szPrefix, dwPrefixLength * sizeof(CharType));
    if (dwLength != 0)
        std::memcpy(szCopy + dwPrefixLength, szFirst, dwLength * sizeof(CharType));
    szCopy[dwPrefixLength + dwLength] = 0;
    return szCopy;
}

template <typename CharType>
constexpr CharType UrlFoldAscii(CharType c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<CharType>(c - 'A' + 'a') : c;
}

}  // namespace detail

// The scheme is "https" in any letter case. Anything else, and an address without
// "://", is plain.
template <typename HttpTool>
bool IsSecure(const CHttpUrlAnalyzerT<HttpTool>& analysis, const typename HttpTool::CharType* szUrl) noexcept
{
    static constexpr char kHttps[] = "https";
    if (szUrl == nullptr || analysis.SchemeLength() != 5)
        return false;
    for (DWORD i = 0; i < 5; ++i) {
        if (detail::UrlFoldAscii(szUrl[analysis.SchemeOffset() + i]) != kHttps[i])
            return false;
    }
    return true;
}

// 443 for a secure address, else 80, unless the address names a port. A port text of
// more than five characters, one that does not convert to its end, or a value above
// 65535 is error 107; an empty port text keeps the default.
template <typename HttpTool>
INTERNET_PORT GetPort(const CHttpUrlAnalyzerT<HttpTool>& analysis, const typename HttpTool::CharType* szUrl)
{
    using CharType = typename HttpTool::CharType;
    const INTERNET_PORT defaultPort =
        IsSecure(analysis, szUrl) ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
    const DWORD dwLength = analysis.PortLength();
    if (dwLength == 0)
        return defaultPort;
    if (dwLength > 5)
        ThrowHttpError(HttpError::InvalidPort);

    CharType szPort[6] = {};
    std::memcpy(szPort, szUrl + analysis.PortOffset(), dwLength * sizeof(CharType));
    const CharType* pEnd = nullptr;
    const unsigned long value = wcrt::wcstoul(szPort, &pEnd, 10);
    if (pEnd != szPort + dwLength || value > 65535)
        ThrowHttpError(HttpError::InvalidPort);
    return static_cast<INTERNET_PORT>(value);
}

// A new malloc'd copy of the host, which the caller frees. An empty host is error 103;
// the port text is checked first, so an address with both faults reports 107 whichever
// of the two the caller asks for first.
template <typename HttpTool>
typename HttpTool::CharType* CopyHost(const CHttpUrlAnalyzerT<HttpTool>& analysis,
                                      const typename HttpTool::CharType* szUrl)
{
    GetPort(analysis, szUrl);
    if (szUrl == nullptr || analysis.HostLength() == 0)
        ThrowHttpError(HttpError::InvalidUrl);
    return detail::UrlCopyRange(szUrl + analysis.HostOffset(), analysis.HostLength(),
                                static_cast<const typename HttpTool::CharType*>(nullptr), 0);
}

// The object name of a request, as a new malloc'd text the caller frees: everything
// from the path on when there is a path; "/" and the query or fragment when only those
// follow the authority; else "/".
template <typename HttpTool>
typename HttpTool::CharType* CopyObjectName(const CHttpUrlAnalyzerT<HttpTool>& analysis,
                                            const typename HttpTool::CharType* szUrl)
{
    using CharType = typename HttpTool::CharType;
    static constexpr CharType kSlash[] = {'/', 0};
    if (szUrl == nullptr)
        return detail::UrlCopyRange(kSlash, 0, kSlash, 1);
    const DWORD dwRestOffset = analysis.PathOffset();
    const DWORD dwRestLength =
        CheckedSub(CheckedAdd(analysis.FragmentOffset(), analysis.FragmentLength()), dwRestOffset);
    if (analysis.PathLength() != 0)
        return detail::UrlCopyRange(szUrl + dwRestOffset, dwRestLength, kSlash, 0);
    return detail::UrlCopyRange(szUrl + dwRestOffset, dwRestLength, kSlash, 1);
}

}  // namespace Tavik
