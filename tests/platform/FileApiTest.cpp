#include "platform/fileapi/FileApi.h"
#include "platform/win32/Utf.h"
#include "tests/support/TempDir.h"

#include "tests/support/Backend.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

class FileApiTest : public ::testing::Test {
protected:
    void SetUp() override { m_dir = m_temp.Path(); }

    fs::path Write(const std::string& name, const std::string& content) const
    {
        const fs::path path = m_dir / fs::u8path(name);
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    // A file of that size that takes no disk space.
    fs::path Sparse(const std::string& name, std::uint64_t size) const
    {
        const fs::path path = m_dir / name;
        std::ofstream{path, std::ios::binary};
        fs::resize_file(path, size);
        return path;
    }

    static HANDLE Open(const fs::path& path)
    {
        const std::u16string wide = path.u16string();
        return CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    }

    testsupport::TempDir m_temp;
    fs::path m_dir;
};

}  // namespace

TEST_F(FileApiTest, OpenRefusesMissingFilesAndDirectories)
{
    SetLastError(0);
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(m_dir / "missing.jpg"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetLastError());
    SetLastError(0);
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(m_dir));
    EXPECT_EQ(ERROR_ACCESS_DENIED, GetLastError());
    SetLastError(0);
    EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileW(u"", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_EQ(ERROR_PATH_NOT_FOUND, GetLastError());
}

TEST_F(FileApiTest, NonAsciiNamesReachTheFileSystemAsUtf8)
{
    Write("f\xC3\xBCr-\xE2\x82\xAC.txt", "abc");
    const std::u16string name = Utf8ToUtf16((m_dir / "f").string()) + u"\u00FCr-\u20AC.txt";
    HANDLE file = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(3u, GetFileSize(file, nullptr));
    EXPECT_TRUE(CloseHandle(file));
}

TEST_F(FileApiTest, ReadFillsTheBufferAndStopsAtTheEnd)
{
    std::string content(70000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7);
    HANDLE file = Open(Write("data.bin", content));
    ASSERT_NE(INVALID_HANDLE_VALUE, file);

    std::vector<char> buffer(65536);
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(file, buffer.data(), 65536, &read, nullptr));
    EXPECT_EQ(65536u, read);
    EXPECT_EQ(content.substr(0, 65536), std::string(buffer.data(), read));
    ASSERT_TRUE(ReadFile(file, buffer.data(), 65536, &read, nullptr));
    EXPECT_EQ(70000u - 65536u, read);
    ASSERT_TRUE(ReadFile(file, buffer.data(), 65536, &read, nullptr));
    EXPECT_EQ(0u, read);

    EXPECT_EQ(10u, SetFilePointer(file, 10, nullptr, FILE_BEGIN));
    ASSERT_TRUE(ReadFile(file, buffer.data(), 1, &read, nullptr));
    EXPECT_EQ(content[10], buffer[0]);
    EXPECT_TRUE(CloseHandle(file));
}

TEST_F(FileApiTest, SizeCarriesTheHighPartAndFlagsAnAllOnesLowPart)
{
    HANDLE big = Open(Sparse("five-gib", 5ull << 30));
    ASSERT_NE(INVALID_HANDLE_VALUE, big);
    DWORD high = 0;
    EXPECT_EQ(1u << 30, GetFileSize(big, &high));
    EXPECT_EQ(1u, high);
    EXPECT_EQ(1u << 30, GetFileSize(big, nullptr));  // the caller asked for the low part only
    CloseHandle(big);

    HANDLE allOnes = Open(Sparse("all-ones", 0xFFFFFFFFull));
    ASSERT_NE(INVALID_HANDLE_VALUE, allOnes);
    SetLastError(ERROR_IO_DEVICE);
    EXPECT_EQ(INVALID_FILE_SIZE, GetFileSize(allOnes, &high));
    EXPECT_EQ(ERROR_SUCCESS, GetLastError());
    EXPECT_EQ(0u, high);
    CloseHandle(allOnes);
}

TEST_F(FileApiTest, SeekingRefusesNegativeAndUnreportablePositions)
{
    SKIP_ON_WINDOWS("without a high part SetFilePointer moves past 4 GiB and returns the low 32 bits");
    HANDLE file = Open(Sparse("six-gib", 6ull << 30));
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_EQ(100u, SetFilePointer(file, 100, nullptr, FILE_BEGIN));

    EXPECT_EQ(INVALID_SET_FILE_POINTER, SetFilePointer(file, -200, nullptr, FILE_CURRENT));
    EXPECT_EQ(ERROR_NEGATIVE_SEEK, GetLastError());

    // Past 4 GiB without a high part the caller could not learn the position: refused,
    // and the file stays where it was.
    EXPECT_EQ(INVALID_SET_FILE_POINTER, SetFilePointer(file, 0, nullptr, FILE_END));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    EXPECT_EQ(100u, SetFilePointer(file, 0, nullptr, FILE_CURRENT));

    LONG high = 0;
    EXPECT_EQ(0x80000000u, SetFilePointer(file, 0, &high, FILE_END));
    EXPECT_EQ(1, high);
    high = 1;
    EXPECT_EQ(5u, SetFilePointer(file, 5, &high, FILE_BEGIN));  // 4 GiB + 5
    EXPECT_EQ(1, high);
    EXPECT_EQ(INVALID_SET_FILE_POINTER, SetFilePointer(file, 0, nullptr, FILE_CURRENT));
    EXPECT_TRUE(CloseHandle(file));
}

TEST_F(FileApiTest, ForeignAndClosedHandlesAreRefused)
{
    SKIP_ON_WINDOWS("CloseHandle(INVALID_HANDLE_VALUE) closes the process pseudo-handle and succeeds");
    int notAFileHandle = 0;
    DWORD read = 0;
    char buffer[4];
    for (HANDLE bad : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE, static_cast<HANDLE>(&notAFileHandle)}) {
        SetLastError(0);
        EXPECT_FALSE(ReadFile(bad, buffer, 4, &read, nullptr));
        EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
        EXPECT_EQ(INVALID_FILE_SIZE, GetFileSize(bad, nullptr));
        EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
        EXPECT_FALSE(CloseHandle(bad));
        EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
    }

    HANDLE file = Open(Write("once.txt", "x"));
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
}

// A sequential-scan handle reads ahead in blocks; what the caller sees must not change.
TEST_F(FileApiTest, ReadAheadKeepsPositionsAndContentExact)
{
    std::string content(200000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>((i * 31) ^ (i >> 9));
    const HANDLE file = Open(Write("clip.bin", content));
    ASSERT_NE(INVALID_HANDLE_VALUE, file);

    std::string first(1024, '\0');
    DWORD got = 0;
    ASSERT_TRUE(ReadFile(file, first.data(), 1024, &got, nullptr));
    EXPECT_EQ(content.substr(0, 1024), first);
    EXPECT_EQ(1024u, SetFilePointer(file, 0, nullptr, FILE_CURRENT));

    // Back to the start, then the whole file in uneven steps, one of them larger than a block.
    ASSERT_EQ(0u, SetFilePointer(file, 0, nullptr, FILE_BEGIN));
    std::string whole;
    for (const DWORD step : {1u, 1023u, 70000u, 1024u, 57344u, 200000u}) {
        std::string piece(step, '\0');
        ASSERT_TRUE(ReadFile(file, piece.data(), step, &got, nullptr));
        whole += piece.substr(0, got);
    }
    EXPECT_EQ(content, whole);
    ASSERT_TRUE(ReadFile(file, first.data(), 1024, &got, nullptr));
    EXPECT_EQ(0u, got);  // end of file
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));  // closed twice: refused, not some other descriptor
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
}
