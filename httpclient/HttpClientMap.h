#pragma once
// The client's ordered name/value collection, for request parameters and extra
// headers. Every body and query string is produced by walking one in order, so its
// order is the order on the wire: by name, case-insensitively (only 'A'..'Z' fold),
// and entries with equal names in the order they were added.

#include "httpclient/CheckedArithmetic.h"
#include "httpclient/HttpErrors.h"
#include "platform/win32/WideCrt.h"
#include "platform/win32/Win32Types.h"

#include <cstdlib>
#include <cstring>
#include <exception>
#include <iterator>
#include <map>
#include <memory>

namespace Tavik {

// The value is the path of a local file whose content is uploaded (multipart only).
constexpr DWORD PARAM_FLAG_FILE = 1;
// The name is already URL-encoded and is sent as it stands (query strings and
// url-encoded bodies only).
constexpr DWORD PARAM_FLAG_ENCODED_NAME = 2;
// The value is already URL-encoded and is sent as it stands (likewise).
constexpr DWORD PARAM_FLAG_ENCODED_VALUE = 4;

template <typename CharType>
struct CHttpClientMapValueT {
    CharType* szValue;  // owned; may be null
    DWORD dwFlags;
};

// Allocator is a seam for the entries' own storage; the client uses the default.
template <typename HttpTool, typename Allocator = std::allocator<char>>
class CHttpClientMapT {
public:
    using CharType = typename HttpTool::CharType;
    using ValueType = CHttpClientMapValueT<CharType>;

private:
    struct NameLess {
        bool operator()(const CharType* left, const CharType* right) const noexcept
        {
            return wcrt::wcsicmp(left, right) < 0;
        }
    };
    using EntryAllocator =
        typename std::allocator_traits<Allocator>::template rebind_alloc<std::pair<const CharType* const, ValueType>>;
    using Storage = std::multimap<const CharType*, ValueType, NameLess, EntryAllocator>;

public:
    // it->first is the name, it->second.szValue the value (or null), it->second.dwFlags the flags.
    using ConstIterator = typename Storage::const_iterator;
    using Position = ConstIterator;
    using SizeType = typename Storage::size_type;

    CHttpClientMapT() = default;
    virtual ~CHttpClientMapT() { Clear(); }
    CHttpClientMapT(const CHttpClientMapT&) = delete;
    CHttpClientMapT& operator=(const CHttpClientMapT&) = delete;

    // Stores copies of szName and szValue (a null value stays null).
    Position Add(const CharType* szName, const CharType* szValue, DWORD dwFlags);
    // Stores the two malloc'd strings themselves; they pass to the map only when this
    // returns, and stay the caller's when it throws.
    Position AddPointerDirectly(CharType* szName, CharType* szValue, DWORD dwFlags);

    SizeType Count() const noexcept { return m_map.size(); }
    // Frees every entry; false when there was none.
    bool Clear() noexcept;

    ConstIterator begin() const noexcept { return m_map.begin(); }
    ConstIterator end() const noexcept { return m_map.end(); }
    // The n-th entry in order, counting from 0; end() when there are not that many.
    ConstIterator Nth(SizeType n) const noexcept
    {
        return n < m_map.size() ? std::next(m_map.begin(), static_cast<std::ptrdiff_t>(n)) : m_map.end();
    }

private:
    struct FreeText {
        void operator()(CharType* p) const noexcept { std::free(p); }
    };
    using OwnedText = std::unique_ptr<CharType, FreeText>;

    static DWORD CopySize(const CharType* szText);
    static OwnedText Copy(const CharType* szText, DWORD cbCopy);

    Storage m_map;
};

template <typename HttpTool, typename Allocator>
auto CHttpClientMapT<HttpTool, Allocator>::Add(const CharType* szName, const CharType* szValue, DWORD dwFlags)
    -> Position
{
    if (szName == nullptr)
        ThrowHttpMessage(u"CHttpClientMapT::Add: szName can not be NULL.");
    // Both sizes are checked before anything is allocated.
    const DWORD cbName = CopySize(szName);
    const DWORD cbValue = szValue != nullptr ? CopySize(szValue) : 0;
    OwnedText name = Copy(szName, cbName);
    OwnedText value = szValue != nullptr ? Copy(szValue, cbValue) : OwnedText();
    const Position position = AddPointerDirectly(name.get(), value.get(), dwFlags);
    name.release();
    value.release();
    return position;
}

template <typename HttpTool, typename Allocator>
auto CHttpClientMapT<HttpTool, Allocator>::AddPointerDirectly(CharType* szName, CharType* szValue, DWORD dwFlags)
    -> Position
{
    if (szName == nullptr)
        ThrowHttpMessage(u"CHttpClientMapT::AddPointerDirectly: szName can not be NULL.");
    try {
        // A multimap inserts after every entry that compares equal.
        return m_map.emplace(szName, ValueType{szValue, dwFlags});
    } catch (const std::exception& e) {
        ThrowHttpNarrowMessage(e.what(), HttpError::StdException, 0);
    } catch (...) {
        ThrowHttpError(HttpError::Unexpected);
    }
}

template <typename HttpTool, typename Allocator>
bool CHttpClientMapT<HttpTool, Allocator>::Clear() noexcept
{
    if (m_map.empty())
        return false;
    for (auto& entry : m_map) {
        std::free(entry.second.szValue);
        std::free(const_cast<CharType*>(entry.first));
    }
    m_map.clear();
    return true;
}

template <typename HttpTool, typename Allocator>
DWORD CHttpClientMapT<HttpTool, Allocator>::CopySize(const CharType* szText)
{
    return CheckedMul(CheckedAdd(wcrt::wcslen(szText), 1), sizeof(CharType));
}

template <typename HttpTool, typename Allocator>
auto CHttpClientMapT<HttpTool, Allocator>::Copy(const CharType* szText, DWORD cbCopy) -> OwnedText
{
    OwnedText copy(static_cast<CharType*>(std::malloc(cbCopy)));
    if (!copy)
        ThrowHttpError(HttpError::OutOfMemory);
    std::memcpy(copy.get(), szText, cbCopy);
    return copy;
}

}  // namespace Tavik
