#include "platform/mime/MimeSniff.h"

#include <cstdlib>
#include <cstring>
#include <magic.h>

namespace {

// A magic cookie may serve one thread at a time, and loading the database is costly:
// each thread loads its own once and keeps it.
class ThreadMagic {
public:
    ThreadMagic()
    {
        m_cookie = magic_open(MAGIC_MIME_TYPE | MAGIC_ERROR);
        if (m_cookie != nullptr && magic_load(m_cookie, nullptr) != 0) {
            magic_close(m_cookie);
            m_cookie = nullptr;
        }
    }
    ThreadMagic(const ThreadMagic&) = delete;
    ThreadMagic& operator=(const ThreadMagic&) = delete;
    ~ThreadMagic()
    {
        if (m_cookie != nullptr)
            magic_close(m_cookie);
    }

    magic_t Cookie() const { return m_cookie; }

private:
    magic_t m_cookie = nullptr;
};

magic_t ThreadCookie()
{
    thread_local ThreadMagic magic;
    return magic.Cookie();
}

// The type names libmagic gives are ASCII.
LPWSTR NewWideCopy(const char* text)
{
    const std::size_t n = std::strlen(text);
    auto* wide = static_cast<LPWSTR>(std::malloc((n + 1) * sizeof(char16_t)));
    if (wide == nullptr)
        return nullptr;
    for (std::size_t i = 0; i < n; ++i)
        wide[i] = static_cast<unsigned char>(text[i]);
    wide[n] = u'\0';
    return wide;
}

}  // namespace

HRESULT FindMimeFromData(void* bindContext, LPCWSTR url, LPVOID buffer, DWORD size, LPCWSTR proposedMime,
                         DWORD /*mimeFlags*/, LPWSTR* mimeOut, DWORD reserved)
{
    if (mimeOut == nullptr)
        return E_INVALIDARG;
    *mimeOut = nullptr;
    if (bindContext != nullptr || url != nullptr || proposedMime != nullptr || reserved != 0)
        return E_INVALIDARG;
    if (buffer == nullptr || size == 0)
        return E_INVALIDARG;

    const magic_t cookie = ThreadCookie();
    if (cookie == nullptr)
        return E_FAIL;
    const char* type = magic_buffer(cookie, buffer, size);
    if (type == nullptr)
        return E_FAIL;
    LPWSTR wide = NewWideCopy(type);
    if (wide == nullptr)
        return E_OUTOFMEMORY;
    *mimeOut = wide;
    return S_OK;
}

void CoTaskMemFree(void* memory) { std::free(memory); }
