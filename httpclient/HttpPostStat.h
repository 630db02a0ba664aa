#pragma once
// The counters of a post or upload context: bytes of the whole body and of the
// parameters' contents, parameters and file parameters started, and how far the
// current parameter has got. Callers get copies through QueryPostStat and compute
// their progress from ActualPostedByte / ActualTotalByte.
//
// The _Test operations let the writer refuse a write before any byte is sent; the
// counters change only after the write succeeded.

#include "httpclient/HttpErrors.h"
#include "platform/win32/WideCrt.h"
#include "platform/win32/Win32Types.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace Tavik {

template <typename HttpTool>
class CHttpPostStatT {
public:
    using CharType = typename HttpTool::CharType;

    CHttpPostStatT() noexcept = default;
    CHttpPostStatT(const CHttpPostStatT& other) noexcept { *this = other; }
    // A deep copy: the copy shares nothing with the source. A string that cannot be
    // copied is left null.
    CHttpPostStatT& operator=(const CHttpPostStatT& other) noexcept;
    virtual ~CHttpPostStatT() { _Reset(); }

    // Each accessor raises on an inactive instance.
    DWORD ActualTotalByte() const;
    DWORD ActualPostedByte() const;
    DWORD TotalCount() const;
    DWORD PostedCount() const;
    DWORD FileCount() const;
    DWORD PostedFileCount() const;
    DWORD CurrParamPostedByte() const;
    DWORD CurrParamRemainByte() const;
    bool CurrParamIsFile() const;
    bool CurrParamIsComplete() const;

    // The client's side. These reads do not check that a context is active.
    bool _IsActive() const noexcept { return m_bIsActive; }
    DWORD _TotalByte() const noexcept { return m_nTotalByte; }
    DWORD _PostedByte() const noexcept { return m_nPostedByte; }
    const CharType* _CurrParamName() const noexcept { return m_szCurrParamName; }
    const CharType* _CurrParamFilePath() const noexcept { return m_szCurrParamFilePath; }

    void _Reset() noexcept;
    // Starts counting a context whose body has nActualTotalByte bytes, nTotalByte of
    // them parameter contents.
    void _Activate(DWORD nActualTotalByte, DWORD nTotalByte, DWORD nTotalCount, DWORD nFileCount) noexcept;
    // szFilePath is kept only for a file parameter.
    void _StartNewEntry(const CharType* szName, DWORD nContentSize, bool bIsFile, const CharType* szFilePath);
    // Body bytes of any kind.
    void _AddActualPostedBytes(DWORD nBytes);
    // Content bytes of the current parameter; the writer adds them to the body count
    // with _AddActualPostedBytes as well.
    void _AddPostedBytes(DWORD nBytes);
    // A write must stay within the announced body, and content within the current
    // parameter's size; either overrun is error 112.
    void _TestAddActualPostedBytes(DWORD nBytes) const;
    void _TestAddPostedBytes(DWORD nBytes) const;
    void _TestStartNewEntry(bool bIsFile) const;

private:
    void RequireActive(const char16_t* szInactiveMessage) const
    {
        if (!m_bIsActive)
            ThrowHttpMessage(szInactiveMessage);
    }
    static void RequireWithin(DWORD nDone, DWORD nBytes, DWORD nLimit)
    {
        if (nBytes > nLimit || nDone > nLimit - nBytes)
            ThrowHttpArithmeticError(ArithmeticFault::Overflow);
    }
    static CharType* CopyOrNull(const CharType* szText) noexcept;
    static void ReplaceField(CharType*& szField, const CharType* szText) noexcept
    {
        std::free(szField);
        szField = CopyOrNull(szText);
    }

    bool m_bIsActive = false;
    DWORD m_nActualTotalByte = 0;
    DWORD m_nActualPostedByte = 0;
    DWORD m_nTotalByte = 0;
    DWORD m_nPostedByte = 0;
    DWORD m_nTotalCount = 0;
    DWORD m_nPostedCount = 0;
    DWORD m_nFileCount = 0;
    DWORD m_nPostedFileCount = 0;
    CharType* m_szCurrParamName = nullptr;
    CharType* m_szCurrParamFilePath = nullptr;
    DWORD m_nCurrParamTotalByte = 0;
    DWORD m_nCurrParamPostedByte = 0;
};

template <typename HttpTool>
CHttpPostStatT<HttpTool>& CHttpPostStatT<HttpTool>::operator=(const CHttpPostStatT& other) noexcept
{
    if (this == &other)
        return *this;
    _Reset();
    m_bIsActive = other.m_bIsActive;
    m_nActualTotalByte = other.m_nActualTotalByte;
    m_nActualPostedByte = other.m_nActualPostedByte;
    m_nTotalByte = other.m_nTotalByte;
    m_nPostedByte = other.m_nPostedByte;
    m_nTotalCount = other.m_nTotalCount;
    m_nPostedCount = other.m_nPostedCount;
    m_nFileCount = other.m_nFileCount;
    m_nPostedFileCount = other.m_nPostedFileCount;
    m_szCurrParamName = CopyOrNull(other.m_szCurrParamName);
    m_szCurrParamFilePath = CopyOrNull(other.m_szCurrParamFilePath);
    m_nCurrParamTotalByte = other.m_nCurrParamTotalByte;
    m_nCurrParamPostedByte = other.m_nCurrParamPostedByte;
    return *this;
}

template <typename HttpTool>
DWORD CHttpPostStatT<HttpTool>::ActualTotalByte() const
{
    RequireActive(u"CHttpPostStatT::ActualTotalByte: The post context is not active.");
    return m_nActualTotalByte;
}

template <typename HttpTool>
DWORD CHttpPostStatT<HttpTool>::ActualPostedByte() const
{
    RequireActive(u"CHttpPostStatT::ActualPostedByte: The post context is not active.");
    return m_nActualPostedByte;
}

template <typename HttpTool>
DWORD CHttpPostStatT<HttpTool>::TotalCount() const
{
    RequireActive(u"CHttpPostStatT::TotalCount: The post context is not active.");
    return m_nTotalCount;
}

template <typename HttpTool>
DWORD CHttpPostStatT<HttpTool>::PostedCount() const
{
    RequireActive(u"CHttpPostStatT::PostedCount: The post context is not active.");
    return m_nPostedCount;
}

template <typename HttpTool>
DWORD CHttpPostStatT<HttpTool>::FileCount() const
{
    RequireActive(u"CHttpPostStatT::FileCount: The post context is not active.");
    return m_nFileCount;
}

template <typename HttpTool>
DWORD CHttpPostStatT<HttpTool>::PostedFileCount() const
{
    RequireActive(u"CHttpPostStatT::PostedFileCount: The post context is not active.");
    return m_nPostedFileCount;
}

template <typename HttpTool>
DWORD CHttpPostStatT<HttpTool>::CurrParamPostedByte() const
{
    RequireActive(u"CHttpPostStatT::CurrParamPostedByte: The post context is not active.");
    return m_nCurrParamPostedByte;
}

template <typename HttpTool>
DWORD CHttpPostStatT<HttpTool>::CurrParamRemainByte() const
{
    RequireActive(u"CHttpPostStatT::CurrParamRemainByte: The post context is not active.");
    return m_nCurrParamTotalByte - m_nCurrParamPostedByte;
}

template <typename HttpTool>
bool CHttpPostStatT<HttpTool>::CurrParamIsFile() const
{
    RequireActive(u"CHttpPostStatT::CurrParamIsFile: The post context is not active.");
    return m_szCurrParamFilePath != nullptr;
}

template <typename HttpTool>
bool CHttpPostStatT<HttpTool>::CurrParamIsComplete() const
{
    RequireActive(u"CHttpPostStatT::CurrParamIsComplete: The post context is not active.");
    return m_nCurrParamTotalByte == m_nCurrParamPostedByte;
}

template <typename HttpTool>
void CHttpPostStatT<HttpTool>::_Reset() noexcept
{
    std::free(m_szCurrParamName);
    std::free(m_szCurrParamFilePath);
    m_bIsActive = false;
    m_nActualTotalByte = m_nActualPostedByte = m_nTotalByte = m_nPostedByte = 0;
    m_nTotalCount = m_nPostedCount = m_nFileCount = m_nPostedFileCount = 0;
    m_szCurrParamName = m_szCurrParamFilePath = nullptr;
    m_nCurrParamTotalByte = m_nCurrParamPostedByte = 0;
}

template <typename HttpTool>
void CHttpPostStatT<HttpTool>::_Activate(DWORD nActualTotalByte, DWORD nTotalByte, DWORD nTotalCount,
                                         DWORD nFileCount) noexcept
{
    _Reset();
    m_bIsActive = true;
    m_nActualTotalByte = nActualTotalByte;
    m_nTotalByte = nTotalByte;
    m_nTotalCount = nTotalCount;
    m_nFileCount = nFileCount;
}

template <typename HttpTool>
void CHttpPostStatT<HttpTool>::_StartNewEntry(const CharType* szName, DWORD nContentSize, bool bIsFile,
                                              const CharType* szFilePath)
{
    _TestStartNewEntry(bIsFile);
    if (bIsFile) {
        ++m_nPostedFileCount;
        ReplaceField(m_szCurrParamFilePath, szFilePath);
    } else {
        ReplaceField(m_szCurrParamFilePath, nullptr);
    }
    ++m_nPostedCount;
    ReplaceField(m_szCurrParamName, szName);
    m_nCurrParamTotalByte = nContentSize;
    m_nCurrParamPostedByte = 0;
}

template <typename HttpTool>
void CHttpPostStatT<HttpTool>::_AddActualPostedBytes(DWORD nBytes)
{
    _TestAddActualPostedBytes(nBytes);
    m_nActualPostedByte += nBytes;
}

template <typename HttpTool>
void CHttpPostStatT<HttpTool>::_AddPostedBytes(DWORD nBytes)
{
    _TestAddPostedBytes(nBytes);
    m_nPostedByte += nBytes;
    m_nCurrParamPostedByte += nBytes;
}

template <typename HttpTool>
void CHttpPostStatT<HttpTool>::_TestAddActualPostedBytes(DWORD nBytes) const
{
    RequireActive(u"CHttpPostStatT::_TestAddActualPostedBytes: The post context is not active.");
    RequireWithin(m_nActualPostedByte, nBytes, m_nActualTotalByte);
}

template <typename HttpTool>
void CHttpPostStatT<HttpTool>::_TestAddPostedBytes(DWORD nBytes) const
{
    RequireActive(u"CHttpPostStatT::_TestAddPostedBytes: The post context is not active.");
    _TestAddActualPostedBytes(nBytes);
    RequireWithin(m_nPostedByte, nBytes, std::numeric_limits<DWORD>::max());
    RequireWithin(m_nCurrParamPostedByte, nBytes, m_nCurrParamTotalByte);
}

template <typename HttpTool>
void CHttpPostStatT<HttpTool>::_TestStartNewEntry(bool bIsFile) const
{
    RequireActive(u"CHttpPostStatT::_TestStartNewEntry: The post context is not active.");
    RequireWithin(m_nPostedCount, 1, std::numeric_limits<DWORD>::max());
    if (bIsFile)
        RequireWithin(m_nPostedFileCount, 1, std::numeric_limits<DWORD>::max());
}

template <typename HttpTool>
auto CHttpPostStatT<HttpTool>::CopyOrNull(const CharType* szText) noexcept -> CharType*
{
    if (szText == nullptr)
        return nullptr;
    const std::size_t nUnits = wcrt::wcslen(szText) + 1;
    auto* szCopy = static_cast<CharType*>(std::malloc(nUnits * sizeof(CharType)));
    if (szCopy != nullptr)
        std::memcpy(szCopy, szText, nUnits * sizeof(CharType));
    return szCopy;
}

}  // namespace Tavik
