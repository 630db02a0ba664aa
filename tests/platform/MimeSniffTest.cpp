#include "platform/mime/MimeSniff.h"

#include "tests/support/Backend.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

// The type the sniffer names for the bytes, or "error".
std::u16string Sniff(const std::string& bytes)
{
    char16_t* mime = nullptr;
    const HRESULT hr = FindMimeFromData(nullptr, nullptr, const_cast<char*>(bytes.data()),
                                        static_cast<DWORD>(bytes.size()), nullptr, 0, &mime, 0);
    if (hr != S_OK)
        return u"error";
    std::u16string type(mime);
    CoTaskMemFree(mime);
    return type;
}

const std::string kJpegHead("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 20);
const std::string kPngHead("\x89PNG\r\n\x1A\n\x00\x00\x00\x0DIHDR\x00\x00\x00\x01\x00\x00\x00\x01\x08\x02\x00\x00\x00",
                           29);

// The shell's sniffer keeps its old names for JPEG and PNG (Windows' own, not Wine's).
#ifdef _WIN32
constexpr char16_t kJpegType[] = u"image/pjpeg";
constexpr char16_t kPngType[] = u"image/x-png";
#else
constexpr char16_t kJpegType[] = u"image/jpeg";
constexpr char16_t kPngType[] = u"image/png";
#endif

}  // namespace

TEST(MimeSniff, NamesImageAndTextTypes)
{
    EXPECT_EQ(kJpegType, Sniff(kJpegHead));
    EXPECT_EQ(kPngType, Sniff(kPngHead));
    EXPECT_EQ(u"image/gif", Sniff("GIF89a\x01\x00\x01\x00\x80\x00\x00"));
    EXPECT_EQ(u"text/plain", Sniff("just a few words of text\n"));
}

TEST(MimeSniff, RefusesNoDataAndUnsupportedArguments)
{
    SKIP_ON_WINDOWS("no data is E_FAIL, a URL or a proposed type is taken, and the out pointer is left as it was");
    char16_t* mime = reinterpret_cast<char16_t*>(&mime);
    char byte = 'x';
    EXPECT_EQ(E_INVALIDARG, FindMimeFromData(nullptr, nullptr, &byte, 0, nullptr, 0, &mime, 0));
    EXPECT_EQ(nullptr, mime);
    EXPECT_EQ(E_INVALIDARG, FindMimeFromData(nullptr, nullptr, nullptr, 1, nullptr, 0, &mime, 0));
    EXPECT_EQ(E_INVALIDARG, FindMimeFromData(nullptr, u"file.jpg", &byte, 1, nullptr, 0, &mime, 0));
    EXPECT_EQ(E_INVALIDARG, FindMimeFromData(nullptr, nullptr, &byte, 1, u"image/jpeg", 0, &mime, 0));
    EXPECT_EQ(E_INVALIDARG, FindMimeFromData(nullptr, nullptr, &byte, 1, nullptr, 0, nullptr, 0));
}

TEST(MimeSniff, WorksOnEveryThread)
{
    std::u16string types[2];
    std::thread first([&] { types[0] = Sniff(kJpegHead); });
    std::thread second([&] { types[1] = Sniff(kPngHead); });
    first.join();
    second.join();
    EXPECT_EQ(kJpegType, types[0]);
    EXPECT_EQ(kPngType, types[1]);
}
