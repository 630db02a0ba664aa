#pragma once
// The HTTP client's one exception family. Each carries a catalogue code, the thread's
// last-error value at the moment of failure, and an owned message text.

#include "platform/win32/Win32Types.h"

#include <exception>

namespace Tavik {

class errmsg_exceptionW : public std::exception {
public:
    errmsg_exceptionW() noexcept = default;
    explicit errmsg_exceptionW(const char16_t* szErrMsg) noexcept;
    errmsg_exceptionW(const errmsg_exceptionW& other) noexcept;
    errmsg_exceptionW& operator=(const errmsg_exceptionW& other) noexcept;
    ~errmsg_exceptionW() override;

    const char* what() const noexcept override;
    // The stored message, or "NULL" when none is stored.
    virtual const char16_t* Message() const noexcept;
    // Stores a heap copy of the text; null, or a failed allocation, leaves no message.
    virtual void SetMessage(const char16_t* szErrMsg) noexcept;

private:
    char16_t* m_szErrMsg = nullptr;
};

class httpclientexceptionW : public errmsg_exceptionW {
public:
    explicit httpclientexceptionW(const char16_t* szErrMsg = nullptr, DWORD dwErrorCode = 0,
                                  DWORD dwWin32Error = 0) noexcept;
    const char* what() const noexcept override;

    DWORD ErrorCode() const noexcept { return m_dwErrorCode; }
    DWORD Win32Error() const noexcept { return m_dwWin32Error; }
    void SetErrorCode(DWORD dwErrorCode) noexcept { m_dwErrorCode = dwErrorCode; }
    void SetWin32Error(DWORD dwWin32Error) noexcept { m_dwWin32Error = dwWin32Error; }

private:
    DWORD m_dwErrorCode = 0;
    DWORD m_dwWin32Error = 0;
};

// The narrow twins exist only inside the transport tool layer (CHttpToolA); it turns
// each into an httpclientexceptionW before it leaves.
class errmsg_exceptionA : public std::exception {
public:
    errmsg_exceptionA() noexcept = default;
    explicit errmsg_exceptionA(const char* szErrMsg) noexcept;
    errmsg_exceptionA(const errmsg_exceptionA& other) noexcept;
    errmsg_exceptionA& operator=(const errmsg_exceptionA& other) noexcept;
    ~errmsg_exceptionA() override;

    const char* what() const noexcept override;  // the same text as Message()
    virtual const char* Message() const noexcept;
    virtual void SetMessage(const char* szErrMsg) noexcept;

private:
    char* m_szErrMsg = nullptr;
};

class httpclientexceptionA : public errmsg_exceptionA {
public:
    explicit httpclientexceptionA(const char* szErrMsg = nullptr, DWORD dwErrorCode = 0,
                                  DWORD dwWin32Error = 0) noexcept;

    DWORD ErrorCode() const noexcept { return m_dwErrorCode; }
    DWORD Win32Error() const noexcept { return m_dwWin32Error; }

private:
    DWORD m_dwErrorCode = 0;
    DWORD m_dwWin32Error = 0;
};

}  // namespace Tavik
