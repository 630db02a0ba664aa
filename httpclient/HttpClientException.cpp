#include "httpclient/HttpClientException.h"

#include <cstdlib>
#include <cstring>

namespace Tavik {

namespace {

template <typename Char>
std::size_t TextLength(const Char* text)
{
    std::size_t n = 0;
    while (text[n] != Char{})
        ++n;
    return n;
}

// A heap copy of the text, or null when there is no text or no memory.
template <typename Char>
Char* CopyText(const Char* text) noexcept
{
    if (text == nullptr)
        return nullptr;
    const std::size_t bytes = (TextLength(text) + 1) * sizeof(Char);
    auto* copy = static_cast<Char*>(std::malloc(bytes));
    if (copy != nullptr)
        std::memcpy(copy, text, bytes);
    return copy;
}

}  // namespace

errmsg_exceptionW::errmsg_exceptionW(const char16_t* szErrMsg) noexcept { SetMessage(szErrMsg); }

errmsg_exceptionW::errmsg_exceptionW(const errmsg_exceptionW& other) noexcept
    : std::exception(other),
      m_szErrMsg(CopyText(other.m_szErrMsg))
{
}

errmsg_exceptionW& errmsg_exceptionW::operator=(const errmsg_exceptionW& other) noexcept
{
    if (this != &other)
        SetMessage(other.m_szErrMsg);
    return *this;
}

errmsg_exceptionW::~errmsg_exceptionW() { std::free(m_szErrMsg); }

const char* errmsg_exceptionW::what() const noexcept { return "errmsg_exceptionW"; }

const char16_t* errmsg_exceptionW::Message() const noexcept { return m_szErrMsg ? m_szErrMsg : u"NULL"; }

void errmsg_exceptionW::SetMessage(const char16_t* szErrMsg) noexcept
{
    char16_t* copy = CopyText(szErrMsg);
    std::free(m_szErrMsg);
    m_szErrMsg = copy;
}

httpclientexceptionW::httpclientexceptionW(const char16_t* szErrMsg, DWORD dwErrorCode, DWORD dwWin32Error) noexcept
    : errmsg_exceptionW(szErrMsg),
      m_dwErrorCode(dwErrorCode),
      m_dwWin32Error(dwWin32Error)
{
}

const char* httpclientexceptionW::what() const noexcept { return "httpclientexceptionW"; }

errmsg_exceptionA::errmsg_exceptionA(const char* szErrMsg) noexcept { SetMessage(szErrMsg); }

errmsg_exceptionA::errmsg_exceptionA(const errmsg_exceptionA& other) noexcept
    : std::exception(other),
      m_szErrMsg(CopyText(other.m_szErrMsg))
{
}

errmsg_exceptionA& errmsg_exceptionA::operator=(const errmsg_exceptionA& other) noexcept
{
    if (this != &other)
        SetMessage(other.m_szErrMsg);
    return *this;
}

errmsg_exceptionA::~errmsg_exceptionA() { std::free(m_szErrMsg); }

const char* errmsg_exceptionA::what() const noexcept { return Message(); }

const char* errmsg_exceptionA::Message() const noexcept { return m_szErrMsg ? m_szErrMsg : "NULL"; }

void errmsg_exceptionA::SetMessage(const char* szErrMsg) noexcept
{
    char* copy = CopyText(szErrMsg);
    std::free(m_szErrMsg);
    m_szErrMsg = copy;
}

httpclientexceptionA::httpclientexceptionA(const char* szErrMsg, DWORD dwErrorCode, DWORD dwWin32Error) noexcept
    : errmsg_exceptionA(szErrMsg),
      m_dwErrorCode(dwErrorCode),
      m_dwWin32Error(dwWin32Error)
{
}

}  // namespace Tavik
