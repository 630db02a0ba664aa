#pragma once
// Splits a web address into six adjacent components (scheme, host, port, path, query,
// fragment), each recorded as an offset and a length in UTF-16 units into the caller's
// text. Nothing is copied or allocated; a malformed address still yields a split, and
// the client's reading of it (HttpUrlRules.h) turns the faults into errors.

#include "httpclient/HttpErrors.h"
#include "platform/codepage/CodePage.h"
#include "platform/win32/Win32Types.h"

#include <cstddef>
#include <limits>

namespace Tavik {

template <typename HttpTool>
class CHttpUrlAnalyzerT {
public:
    using CharType = typename HttpTool::CharType;

    // szUrl may be null. The code page takes no part in the split; it is only refused
    // when it is one the client cannot convert to.
    void Analyze(const CharType* szUrl, UINT CodePage);

    DWORD SchemeOffset() const noexcept { return m_dwSchemeOffset; }
    DWORD SchemeLength() const noexcept { return m_dwSchemeLength; }
    DWORD HostOffset() const noexcept { return m_dwHostOffset; }
    DWORD HostLength() const noexcept { return m_dwHostLength; }
    DWORD PortOffset() const noexcept { return m_dwPortOffset; }
    DWORD PortLength() const noexcept { return m_dwPortLength; }
    DWORD PathOffset() const noexcept { return m_dwPathOffset; }
    DWORD PathLength() const noexcept { return m_dwPathLength; }
    DWORD QueryOffset() const noexcept { return m_dwQueryOffset; }
    DWORD QueryLength() const noexcept { return m_dwQueryLength; }
    DWORD FragmentOffset() const noexcept { return m_dwFragmentOffset; }
    DWORD FragmentLength() const noexcept { return m_dwFragmentLength; }

private:
    // The split is counted in size_t and committed only when the whole text fits the
    // 32-bit fields, so an absurdly long text cannot leave wrapped offsets behind.
    struct Split {
        std::size_t schemeLength = 0, hostOffset = 0, hostLength = 0, portOffset = 0, portLength = 0;
        std::size_t pathOffset = 0, pathLength = 0, queryOffset = 0, queryLength = 0;
        std::size_t fragmentOffset = 0, fragmentLength = 0;
    };

    static std::size_t ScanScheme(const CharType* s, Split& split);
    static std::size_t ScanAuthority(const CharType* s, std::size_t pos, Split& split);
    static std::size_t ScanPathAndQuery(const CharType* s, std::size_t pos, Split& split);
    void Commit(const Split& split, std::size_t textLength);
    void Clear() noexcept;

    DWORD m_dwSchemeOffset = 0;
    DWORD m_dwSchemeLength = 0;
    DWORD m_dwHostOffset = 0;
    DWORD m_dwHostLength = 0;
    DWORD m_dwPortOffset = 0;
    DWORD m_dwPortLength = 0;
    DWORD m_dwPathOffset = 0;
    DWORD m_dwPathLength = 0;
    DWORD m_dwQueryOffset = 0;
    DWORD m_dwQueryLength = 0;
    DWORD m_dwFragmentOffset = 0;
    DWORD m_dwFragmentLength = 0;
};

template <typename HttpTool>
void CHttpUrlAnalyzerT<HttpTool>::Analyze(const CharType* szUrl, UINT CodePage)
{
    if (CodePage == CP_UTF8 || CodePage == CP_UTF7)
        ThrowHttpMessage(
            u"CHttpUrlAnalyzerT::Analyze: CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter.");
    Clear();
    if (szUrl == nullptr || szUrl[0] == 0)
        return;

    Split split;
    std::size_t pos = ScanScheme(szUrl, split);
    pos = ScanAuthority(szUrl, pos, split);
    pos = ScanPathAndQuery(szUrl, pos, split);
    while (szUrl[pos + split.fragmentLength] != 0)
        ++split.fragmentLength;
    Commit(split, pos + split.fragmentLength);
}

// The first "://" anywhere in the text, so one inside a query counts when no earlier
// one exists. Returns where the authority starts.
template <typename HttpTool>
std::size_t CHttpUrlAnalyzerT<HttpTool>::ScanScheme(const CharType* s, Split& split)
{
    for (std::size_t k = 0; s[k] != 0; ++k) {
        if (s[k] == ':' && s[k + 1] == '/' && s[k + 2] == '/') {
            split.schemeLength = k;
            split.hostOffset = k + 3;
            return k + 3;
        }
    }
    return 0;
}

// Host up to the first ':', everything after it (later ':' included) is port text.
// Returns the end of the authority, which is where the path starts.
template <typename HttpTool>
std::size_t CHttpUrlAnalyzerT<HttpTool>::ScanAuthority(const CharType* s, std::size_t pos, Split& split)
{
    bool bSeenColon = false;
    if (s[pos] != '/') {
        while (s[pos] != 0 && s[pos] != '?' && s[pos] != '#') {
            const CharType c = s[pos++];
            if (bSeenColon) {
                ++split.portLength;
            } else if (c == ':') {
                bSeenColon = true;
                split.portOffset = pos;
            } else {
                ++split.hostLength;
            }
            if (s[pos] == '/')
                break;
        }
    }
    if (!bSeenColon)
        split.portOffset = pos;
    split.pathOffset = pos;
    return pos;
}

// Returns where the fragment starts.
template <typename HttpTool>
std::size_t CHttpUrlAnalyzerT<HttpTool>::ScanPathAndQuery(const CharType* s, std::size_t pos, Split& split)
{
    bool bSeenQuery = false;
    if (s[pos] != '#') {
        while (s[pos] != 0) {
            if (bSeenQuery) {
                ++split.queryLength;
            } else if (s[pos] == '?') {
                bSeenQuery = true;
                split.queryOffset = pos;
                ++split.queryLength;
            } else {
                ++split.pathLength;
            }
            ++pos;
            if (s[pos] == '#')
                break;
        }
    }
    if (!bSeenQuery)
        split.queryOffset = pos;
    split.fragmentOffset = pos;
    return pos;
}

template <typename HttpTool>
void CHttpUrlAnalyzerT<HttpTool>::Commit(const Split& split, std::size_t textLength)
{
    if (textLength > std::numeric_limits<DWORD>::max())
        ThrowHttpArithmeticError(ArithmeticFault::Overflow);
    m_dwSchemeLength = static_cast<DWORD>(split.schemeLength);
    m_dwHostOffset = static_cast<DWORD>(split.hostOffset);
    m_dwHostLength = static_cast<DWORD>(split.hostLength);
    m_dwPortOffset = static_cast<DWORD>(split.portOffset);
    m_dwPortLength = static_cast<DWORD>(split.portLength);
    m_dwPathOffset = static_cast<DWORD>(split.pathOffset);
    m_dwPathLength = static_cast<DWORD>(split.pathLength);
    m_dwQueryOffset = static_cast<DWORD>(split.queryOffset);
    m_dwQueryLength = static_cast<DWORD>(split.queryLength);
    m_dwFragmentOffset = static_cast<DWORD>(split.fragmentOffset);
    m_dwFragmentLength = static_cast<DWORD>(split.fragmentLength);
}

template <typename HttpTool>
void CHttpUrlAnalyzerT<HttpTool>::Clear() noexcept
{
    *this = CHttpUrlAnalyzerT();
}

}  // namespace Tavik
