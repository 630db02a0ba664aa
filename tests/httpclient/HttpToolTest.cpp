#include "httpclient/HttpClientException.h"
#include "httpclient/HttpToolA.h"
#include "httpclient/HttpToolW.h"
#include "httpclient/HttpWriteLoop.h"
#include "httpclient/MallocPtr.h"
#include "platform/codepage/CodePage.h"
#include "platform/fileapi/FileApi.h"
#include "platform/win32/Utf.h"
#include "tests/support/Backend.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace Tavik;

namespace {

namespace fs = std::filesystem;

template <typename Exception, typename F>
Exception CaughtAs(F&& throwing)
{
    try {
        throwing();
    } catch (const Exception& e) {
        return e;
    }
    ADD_FAILURE() << "nothing was thrown";
    return Exception();
}

template <typename F>
httpclientexceptionW Caught(F&& throwing)
{
    return CaughtAs<httpclientexceptionW>(std::forward<F>(throwing));
}

// Never dereferenced: the checks under test throw before a handle is used.
HINTERNET const kSomeHandle = reinterpret_cast<HINTERNET>(std::uintptr_t{0x1000});
const BYTE kSomeBytes[4] = {1, 2, 3, 4};

struct CheckCase {
    std::function<void()> call;
    const char16_t* message;
};

class ScratchDir {
public:
    std::u16string Write(const std::string& name, const std::string& content) const
    {
        std::ofstream(m_path / name, std::ios::binary) << content;
        return Utf8ToUtf16((m_path / name).string());
    }
    std::u16string Sparse(const std::string& name, std::uint64_t size) const
    {
        const fs::path path = m_path / name;
        std::ofstream(path, std::ios::binary).close();
        fs::resize_file(path, size);
        return Utf8ToUtf16(path.string());
    }

private:
    testsupport::TempDir m_dir;
    fs::path m_path = m_dir.Path();
};

// An open file that closes itself.
class OpenedFile {
public:
    explicit OpenedFile(const std::u16string& path) : m_handle(CHttpToolW::OpenFile(path.c_str())) {}
    ~OpenedFile()
    {
        if (m_handle != INVALID_HANDLE_VALUE)
            CloseHandle(m_handle);
    }
    HANDLE Get() const { return m_handle; }

private:
    HANDLE m_handle;
};

const std::string kJpegHead("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 20);

}  // namespace

TEST(ToolChecks, EachOperationReportsItsFirstFailingArgument)
{
    HANDLE someFile = INVALID_HANDLE_VALUE;
    const CheckCase cases[] = {
        {[] { CHttpToolW::OpenConnection(nullptr, nullptr, 80); },
         u"CHttpToolW::OpenConnection: hInternet can not be NULL."},
        {[] { CHttpToolW::OpenConnection(kSomeHandle, nullptr, 80); },
         u"CHttpToolW::OpenConnection: szServerAddr can not be NULL."},
        {[] { CHttpToolW::OpenConnection(kSomeHandle, u"", 80); },
         u"CHttpToolW::OpenConnection: szServerAddr can not be an empty string."},
        {[] { CHttpToolW::OpenRequest(nullptr, u"GET", nullptr, 0, CP_UTF8); },
         u"CHttpToolW::OpenRequest: hConnection can not be NULL."},
        {[] { CHttpToolW::OpenRequest(kSomeHandle, u"GET", nullptr, 0, CP_UTF8); },
         u"CHttpToolW::OpenRequest: szObjectName can not be NULL."},
        {[] { CHttpToolW::OpenRequest(kSomeHandle, u"GET", u"", 0, CP_UTF8); },
         u"CHttpToolW::OpenRequest: szObjectName can not be an empty string."},
        {[] { CHttpToolW::OpenRequest(kSomeHandle, nullptr, u"/me", 0, CP_UTF7); },
         u"CHttpToolW::OpenRequest: CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter."},
        {[] { CHttpToolW::AddHeader(nullptr, nullptr, nullptr, CP_UTF8); },
         u"CHttpToolW::AddHeader: hRequest can not be NULL."},
        {[] { CHttpToolW::AddHeader(kSomeHandle, nullptr, u"v", CP_UTF8); },
         u"CHttpToolW::AddHeader: szName can not be NULL."},
        {[] { CHttpToolW::AddHeader(kSomeHandle, u"Name", u"v", CP_UTF8); },
         u"CHttpToolW::AddHeader: CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter."},
        {[] { CHttpToolW::SendRequest(nullptr, CP_UTF8); }, u"CHttpToolW::SendRequest: hRequest can not be NULL."},
        {[] { CHttpToolW::SendRequest(kSomeHandle, CP_UTF7); },
         u"CHttpToolW::SendRequest: CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter."},
        {[] { CHttpToolW::SendRequestEx(nullptr, 10); }, u"CHttpToolW::SendRequestEx: hRequest can not be NULL."},
        {[] { CHttpToolW::InternetWriteFile(nullptr, nullptr, 0); },
         u"CHttpToolW::InternetWriteFile: hRequest can not be NULL."},
        {[] { CHttpToolW::InternetWriteFile(kSomeHandle, nullptr, 0); },
         u"CHttpToolW::InternetWriteFile: pbyBuff can not be NULL."},
        {[] { CHttpToolW::InternetWriteFile(kSomeHandle, kSomeBytes, 0); },
         u"CHttpToolW::InternetWriteFile: cbyBuff can not be zero."},
        {[] { CHttpToolW::EndRequest(nullptr); }, u"CHttpToolW::EndRequest: hRequest can not be NULL."},
        {[] { std::free(CHttpToolW::GetStatusText(nullptr)); },
         u"CHttpToolW::GetStatusText: hRequest can not be NULL."},
        {[] { CHttpToolW::OpenFile(nullptr); }, u"CHttpToolW::OpenFile: szFilePath can not be NULL."},
        {[] { CHttpToolW::GetFileSize(nullptr, nullptr); }, u"CHttpToolW::GetFileSize: hFile can not be NULL."},
        {[&] { CHttpToolW::GetFileSize(someFile, nullptr); }, u"CHttpToolW::GetFileSize: szFilePath can not be NULL."},
        {[] { std::free(CHttpToolW::GetMimeType(nullptr, CP_UTF8)); },
         u"CHttpToolW::GetMimeType: hFile can not be NULL."},
        {[&] { std::free(CHttpToolW::GetMimeType(someFile, CP_UTF8)); },
         u"CHttpToolW::GetMimeType: CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter."},
        {[] { std::free(CHttpToolW::Unicode2Ansi(nullptr, CP_UTF8)); },
         u"CHttpToolW::Unicode2Ansi: CP_UTF8 and CP_UTF7 can not be used for the CodePage parameter."},
    };
    for (const CheckCase& c : cases) {
        const httpclientexceptionW e = Caught(c.call);
        EXPECT_EQ(std::u16string(c.message), std::u16string(e.Message()));
        EXPECT_EQ(0u, e.ErrorCode());
        EXPECT_EQ(0u, e.Win32Error());
    }
}

TEST(ToolChecks, NarrowTwinsThrowNarrowExceptions)
{
    const struct {
        std::function<void()> call;
        const char* message;
    } cases[] = {
        {[] { CHttpToolA::OpenRequest(nullptr, "GET", nullptr, 0, nullptr); },
         "CHttpToolA::OpenRequest: hConnection can not be NULL."},
        {[] { CHttpToolA::OpenRequest(kSomeHandle, "GET", nullptr, 0, nullptr); },
         "CHttpToolA::OpenRequest: szObjectName can not be NULL."},
        {[] { CHttpToolA::OpenRequest(kSomeHandle, "GET", "", 0, nullptr); },
         "CHttpToolA::OpenRequest: szObjectName can not be an empty string."},
        {[] { CHttpToolA::AddHeader(nullptr, nullptr, nullptr); }, "CHttpToolA::AddHeader: hRequest can not be NULL."},
        {[] { CHttpToolA::AddHeader(kSomeHandle, nullptr, "v"); }, "CHttpToolA::AddHeader: szName can not be NULL."},
    };
    for (const auto& c : cases) {
        const httpclientexceptionA e = CaughtAs<httpclientexceptionA>(c.call);
        EXPECT_STREQ(c.message, e.Message());
        EXPECT_EQ(0u, e.ErrorCode());
    }
}

TEST(ToolConversions, Unicode2AnsiAndBack)
{
    EXPECT_EQ(nullptr, CHttpToolW::Unicode2Ansi(nullptr, 0));
    EXPECT_EQ(nullptr, CHttpToolW::Ansi2Unicode(nullptr));

    MallocPtr<char> ansi(CHttpToolW::Unicode2Ansi(u"caf\u00E9 \u20AC", 1252));
    ASSERT_TRUE(ansi);
    EXPECT_EQ(std::string("caf\xE9 \x80"), std::string(ansi.get()));
    MallocPtr<char16_t> wide(CHttpToolW::Ansi2Unicode("plain text"));
    ASSERT_TRUE(wide);
    EXPECT_EQ(u"plain text", std::u16string(wide.get()));

    const httpclientexceptionW e = Caught([] { std::free(CHttpToolW::Unicode2Ansi(u"x", 12345)); });
    EXPECT_EQ(600u, e.ErrorCode());
    EXPECT_EQ(ERROR_INVALID_PARAMETER, e.Win32Error());
}

TEST(ToolFiles, SizeOfOrdinaryFile)
{
    ScratchDir dir;
    const std::u16string path = dir.Write("small.bin", std::string(1234, 'x'));
    OpenedFile file(path);
    ASSERT_NE(INVALID_HANDLE_VALUE, file.Get());
    EXPECT_EQ(1234u, CHttpToolW::GetFileSize(file.Get(), path.c_str()));

    EXPECT_EQ(INVALID_HANDLE_VALUE, CHttpToolW::OpenFile((path + u".missing").c_str()));
}

TEST(ToolFiles, SizeWithAllOnesLowPartIs605WithoutWin32Error)
{
    ScratchDir dir;
    const std::u16string path = dir.Sparse("all-ones.bin", 0xFFFFFFFFull);
    OpenedFile file(path);
    ASSERT_NE(INVALID_HANDLE_VALUE, file.Get());
    const httpclientexceptionW e = Caught([&] { CHttpToolW::GetFileSize(file.Get(), path.c_str()); });
    EXPECT_EQ(605u, e.ErrorCode());
    EXPECT_EQ(0u, e.Win32Error());
    EXPECT_EQ(u"::GetFileSize failed (\"" + path + u"\").", std::u16string(e.Message()));
}

TEST(ToolFiles, FilesOf4GiBAndMoreAreRefusedNotTruncated)
{
    ScratchDir dir;
    for (const std::uint64_t size : {4ull << 30, (5ull << 30) + 17}) {
        const std::u16string path = dir.Sparse("big.bin", size);
        OpenedFile file(path);
        ASSERT_NE(INVALID_HANDLE_VALUE, file.Get());
        const httpclientexceptionW e = Caught([&] { CHttpToolW::GetFileSize(file.Get(), path.c_str()); });
        EXPECT_EQ(605u, e.ErrorCode());
        EXPECT_EQ(ERROR_FILE_TOO_LARGE, e.Win32Error());
        EXPECT_EQ(u"::GetFileSize failed (\"" + path + u"\").", std::u16string(e.Message()));
    }
}

TEST(ToolFiles, MimeTypeOfJpegLeavesTheFileAtItsStart)
{
    ScratchDir dir;
    const std::u16string path = dir.Write("photo.jpg", kJpegHead + std::string(1000, '\x55'));
    OpenedFile file(path);
    ASSERT_NE(INVALID_HANDLE_VALUE, file.Get());
    MallocPtr<char> type(CHttpToolW::GetMimeType(file.Get(), 0));
    ASSERT_TRUE(type);
    EXPECT_STREQ(testsupport::kSniffedJpeg, type.get());
    EXPECT_EQ(0u, SetFilePointer(file.Get(), 0, nullptr, FILE_CURRENT));

    // Sniffed from the current position, but the file goes back to its start regardless.
    ASSERT_EQ(100u, SetFilePointer(file.Get(), 100, nullptr, FILE_BEGIN));
    MallocPtr<char> later(CHttpToolW::GetMimeType(file.Get(), 0));
    ASSERT_TRUE(later);
    EXPECT_EQ(0u, SetFilePointer(file.Get(), 0, nullptr, FILE_CURRENT));
}

TEST(ToolFiles, MimeTypeWithoutDataIsOctetStream)
{
    ScratchDir dir;
    const std::u16string path = dir.Write("empty.bin", "");
    OpenedFile file(path);
    ASSERT_NE(INVALID_HANDLE_VALUE, file.Get());
    MallocPtr<char> empty(CHttpToolW::GetMimeType(file.Get(), 0));
    ASSERT_TRUE(empty);
    EXPECT_STREQ("application/octet-stream", empty.get());

    MallocPtr<char> unopened(CHttpToolW::GetMimeType(INVALID_HANDLE_VALUE, 0));
    ASSERT_TRUE(unopened);
    EXPECT_STREQ("application/octet-stream", unopened.get());
}

TEST(ToolBoundary, FreshLowerCaseGuidEachTime)
{
    MallocPtr<char16_t> first(CHttpToolW::GenerateBoundary());
    MallocPtr<char16_t> second(CHttpToolW::GenerateBoundary());
    ASSERT_TRUE(first);
    ASSERT_TRUE(second);
    const std::u16string a(first.get());
    const std::u16string b(second.get());
    EXPECT_NE(a, b);
    for (const std::u16string& boundary : {a, b}) {
        ASSERT_EQ(43u, boundary.size());
        EXPECT_EQ(u"----VESKO-", boundary.substr(0, 10));
        EXPECT_EQ(u'-', boundary.back());
        for (std::size_t i = 10; i < 42; ++i) {
            const char16_t c = boundary[i];
            EXPECT_TRUE((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')) << "at " << i;
        }
        EXPECT_EQ(u'4', boundary[10 + 12]);  // the version digit of a random GUID
    }
}

TEST(ToolHandles, CloseInternetHandleOfNullIsNothing)
{
    HINTERNET none = nullptr;
    CHttpToolW::CloseInternetHandle(none);
    EXPECT_EQ(nullptr, none);
}

// The write loop on its own, behind a library that takes a few bytes at a time.
TEST(ToolWriteLoop, ShortWritesAreContinuedInOrder)
{
    std::string received;
    int calls = 0;
    auto stingy = [&](void*, const void* buffer, DWORD count, DWORD* written) -> BOOL {
        ++calls;
        const DWORD step = count < 3 ? count : 3;
        received.append(static_cast<const char*>(buffer), step);
        *written = step;
        return TRUE;
    };
    const std::string body = "0123456789abcdef";
    WriteWholeBuffer(stingy, kSomeHandle, reinterpret_cast<const BYTE*>(body.data()), static_cast<DWORD>(body.size()));
    EXPECT_EQ(body, received);
    EXPECT_EQ(6, calls);
}

TEST(ToolWriteLoop, WriteThatTakesNothingIs408InsteadOfSpinning)
{
    int calls = 0;
    auto stuck = [&](void*, const void*, DWORD, DWORD* written) -> BOOL {
        ++calls;
        *written = 0;
        return TRUE;
    };
    const httpclientexceptionW e = Caught([&] { WriteWholeBuffer(stuck, kSomeHandle, kSomeBytes, 4); });
    EXPECT_EQ(408u, e.ErrorCode());
    EXPECT_EQ(0u, e.Win32Error());
    EXPECT_EQ(1, calls);
}

TEST(ToolWriteLoop, FailedWriteIs408WithTheLastError)
{
    auto failing = [](void*, const void*, DWORD, DWORD* written) -> BOOL {
        *written = 0;
        SetLastError(12030);
        return FALSE;
    };
    const httpclientexceptionW e = Caught([&] { WriteWholeBuffer(failing, kSomeHandle, kSomeBytes, 4); });
    EXPECT_EQ(408u, e.ErrorCode());
    EXPECT_EQ(12030u, e.Win32Error());
    EXPECT_EQ(u"::InternetWriteFile failed.", std::u16string(e.Message()));
}
