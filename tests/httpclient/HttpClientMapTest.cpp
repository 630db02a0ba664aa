// Parameter order (the order of fields on the wire), ownership of the stored texts,
// and the failures of storing an entry.

#include "httpclient/HttpClientMap.h"
#include "httpclient/HttpClientException.h"
#include "platform/win32/Utf.h"

#include "CaughtException.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

namespace {

using namespace Tavik;

struct UnitTool {
    using CharType = char16_t;
};
using Map = CHttpClientMapT<UnitTool>;

template <typename M>
std::vector<std::string> Names(const M& map)
{
    std::vector<std::string> names;
    for (const auto& entry : map)
        names.push_back(Utf16ToUtf8(entry.first));
    return names;
}

template <typename M>
std::vector<std::string> Values(const M& map)
{
    std::vector<std::string> values;
    for (const auto& entry : map)
        values.push_back(entry.second.szValue ? Utf16ToUtf8(entry.second.szValue) : "<null>");
    return values;
}

char16_t* MallocCopy(const char16_t* text)
{
    const std::size_t bytes = (std::char_traits<char16_t>::length(text) + 1) * sizeof(char16_t);
    return static_cast<char16_t*>(std::memcpy(std::malloc(bytes), text, bytes));
}

using Strings = std::vector<std::string>;

TEST(HttpClientMap, NamesSortCaseInsensitivelyAndEqualNamesKeepInsertionOrder)
{
    Map map;
    map.Add(u"b", u"1", 0);
    map.Add(u"A", u"2", 0);
    map.Add(u"a", u"3", 0);
    EXPECT_EQ((Strings{"A", "a", "b"}), Names(map));
    EXPECT_EQ((Strings{"2", "3", "1"}), Values(map));
}

TEST(HttpClientMap, OnlyAsciiLettersFold)
{
    Map map;
    map.Add(u"B", nullptr, 0);
    map.Add(u"_x", nullptr, 0);
    map.Add(u"a", nullptr, 0);
    map.Add(u"\u00c4", nullptr, 0);  // not folded: sorts by its own unit, after every ASCII letter
    map.Add(u"\u00e4", nullptr, 0);
    EXPECT_EQ((Strings{"_x", "a", "B", "\xC3\x84", "\xC3\xA4"}), Names(map));
}

TEST(HttpClientMap, UploadFieldsPrecedeTheFileWhateverTheOrderOfAdding)
{
    const std::vector<std::vector<const char16_t*>> orders = {{u"access_token", u"caption", u"ufile01"},
                                                              {u"ufile01", u"caption", u"access_token"},
                                                              {u"caption", u"ufile01", u"access_token"}};
    for (const auto& order : orders) {
        Map map;
        for (const char16_t* name : order)
            map.Add(name, u"v", name[0] == u'u' ? PARAM_FLAG_FILE : 0);
        EXPECT_EQ((Strings{"access_token", "caption", "ufile01"}), Names(map));
        EXPECT_EQ(PARAM_FLAG_FILE, map.Nth(2)->second.dwFlags);
    }
}

TEST(HttpClientMap, DuplicateNamesAreAllKept)
{
    Map map;
    map.Add(u"k", u"1", 0);
    map.Add(u"other", u"x", 0);
    map.Add(u"K", u"2", PARAM_FLAG_ENCODED_VALUE);
    map.Add(u"k", u"3", 0);
    EXPECT_EQ(4u, map.Count());
    EXPECT_EQ((Strings{"1", "2", "3", "x"}), Values(map));
    EXPECT_EQ(PARAM_FLAG_ENCODED_VALUE, map.Nth(1)->second.dwFlags);
}

TEST(HttpClientMap, AddStoresItsOwnCopies)
{
    Map map;
    char16_t name[] = u"name";
    char16_t value[] = u"value";
    const auto position = map.Add(name, value, PARAM_FLAG_ENCODED_NAME);
    name[0] = u'X';
    value[0] = u'X';
    EXPECT_EQ("name", Utf16ToUtf8(position->first));
    EXPECT_EQ("value", Utf16ToUtf8(position->second.szValue));
    EXPECT_NE(static_cast<const void*>(name), static_cast<const void*>(position->first));
    EXPECT_EQ(PARAM_FLAG_ENCODED_NAME, position->second.dwFlags);
}

TEST(HttpClientMap, NullValueStaysNullAndEmptyValueIsAnEmptyCopy)
{
    Map map;
    map.Add(u"a", nullptr, 0);
    map.Add(u"b", u"", 0);
    EXPECT_EQ(nullptr, map.Nth(0)->second.szValue);
    ASSERT_NE(nullptr, map.Nth(1)->second.szValue);
    EXPECT_EQ(u'\0', map.Nth(1)->second.szValue[0]);
}

TEST(HttpClientMap, AddPointerDirectlyTakesTheStringsThemselves)
{
    Map map;
    char16_t* name = MallocCopy(u"n");
    char16_t* value = MallocCopy(u"v");
    const auto position = map.AddPointerDirectly(name, value, 0);
    EXPECT_EQ(name, position->first);
    EXPECT_EQ(value, position->second.szValue);
}

TEST(HttpClientMap, NullNameIsRefusedAndNothingIsStored)
{
    Map map;
    const httpclientexceptionW add = Caught([&] { map.Add(nullptr, u"v", 0); });
    EXPECT_EQ(0u, add.ErrorCode());
    EXPECT_EQ("CHttpClientMapT::Add: szName can not be NULL.", Utf16ToUtf8(add.Message()));

    std::unique_ptr<char16_t, decltype(&std::free)> value(MallocCopy(u"v"), &std::free);
    const httpclientexceptionW direct = Caught([&] { map.AddPointerDirectly(nullptr, value.get(), 0); });
    EXPECT_EQ(0u, direct.ErrorCode());
    EXPECT_EQ("CHttpClientMapT::AddPointerDirectly: szName can not be NULL.", Utf16ToUtf8(direct.Message()));
    EXPECT_EQ(0u, map.Count());
}

TEST(HttpClientMap, ClearReportsWhetherThereWasAnythingToClear)
{
    Map map;
    EXPECT_FALSE(map.Clear());
    map.Add(u"a", u"1", 0);
    map.Add(u"b", nullptr, 0);
    EXPECT_TRUE(map.Clear());
    EXPECT_EQ(0u, map.Count());
    EXPECT_EQ(map.begin(), map.end());
    EXPECT_FALSE(map.Clear());
    map.Add(u"c", u"again", 0);
    EXPECT_EQ((Strings{"c"}), Names(map));
}

TEST(HttpClientMap, NthCountsFromTheFirstEntry)
{
    Map map;
    map.Add(u"c", nullptr, 0);
    map.Add(u"a", nullptr, 0);
    map.Add(u"b", nullptr, 0);
    EXPECT_EQ("a", Utf16ToUtf8(map.Nth(0)->first));
    EXPECT_EQ("c", Utf16ToUtf8(map.Nth(2)->first));
    EXPECT_EQ(map.end(), map.Nth(3));
    const Map empty;
    EXPECT_EQ(empty.end(), empty.Nth(0));
}

// Entry storage that fails on demand, as a full heap would.
enum class StorageFault { None, StdException, OtherException };
StorageFault g_storageFault = StorageFault::None;

template <typename T>
struct FaultyAllocator {
    using value_type = T;
    FaultyAllocator() = default;
    template <typename U>
    FaultyAllocator(const FaultyAllocator<U>&) noexcept
    {
    }
    T* allocate(std::size_t n)
    {
        if (g_storageFault == StorageFault::StdException)
            throw std::bad_alloc();
        if (g_storageFault == StorageFault::OtherException)
            throw 42;
        return std::allocator<T>().allocate(n);
    }
    void deallocate(T* p, std::size_t n) noexcept { std::allocator<T>().deallocate(p, n); }
    friend bool operator==(const FaultyAllocator&, const FaultyAllocator&) noexcept { return true; }
};
using FaultyMap = CHttpClientMapT<UnitTool, FaultyAllocator<char>>;

struct HttpClientMapStorageFailure : ::testing::Test {
    void TearDown() override { g_storageFault = StorageFault::None; }
};

TEST_F(HttpClientMapStorageFailure, StandardExceptionBecomes108WithItsOwnText)
{
    FaultyMap map;
    map.Add(u"kept", u"1", 0);
    g_storageFault = StorageFault::StdException;
    const httpclientexceptionW e = Caught([&] { map.Add(u"lost", u"2", 0); });
    EXPECT_EQ(HttpError::StdException, e.ErrorCode());
    EXPECT_EQ(std::string(std::bad_alloc().what()), Utf16ToUtf8(e.Message()));
    EXPECT_EQ((Strings{"kept"}), Names(map));
}

TEST_F(HttpClientMapStorageFailure, OtherExceptionBecomes100)
{
    FaultyMap map;
    g_storageFault = StorageFault::OtherException;
    const httpclientexceptionW e = Caught([&] { map.Add(u"lost", nullptr, 0); });
    EXPECT_EQ(HttpError::Unexpected, e.ErrorCode());
    EXPECT_EQ("Unexpected error occurred.", Utf16ToUtf8(e.Message()));
    EXPECT_EQ(0u, map.Count());
}

// Under the sanitizer a map that freed them anyway would show as a double free here.
TEST_F(HttpClientMapStorageFailure, DirectPointersStayTheCallersWhenStoringFails)
{
    FaultyMap map;
    std::unique_ptr<char16_t, decltype(&std::free)> name(MallocCopy(u"n"), &std::free);
    std::unique_ptr<char16_t, decltype(&std::free)> value(MallocCopy(u"v"), &std::free);
    g_storageFault = StorageFault::StdException;
    const httpclientexceptionW e = Caught([&] { map.AddPointerDirectly(name.get(), value.get(), 0); });
    EXPECT_EQ(HttpError::StdException, e.ErrorCode());
    EXPECT_EQ(0u, map.Count());
    EXPECT_EQ("n", Utf16ToUtf8(name.get()));
}

}  // namespace
