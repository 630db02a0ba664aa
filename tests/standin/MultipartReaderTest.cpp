// The streaming multipart reader, fed the way bodies arrive: in pieces of any size.

#include "tools/standin/MultipartReader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

const std::string kBoundary = "----VESKO-0123456789abcdef0123456789abcdef-";

std::string Body(const std::string& content)
{
    return "--" + kBoundary + "\r\nContent-Disposition: form-data; name=\"caption\"\r\n\r\nHi\r\n" + "--" + kBoundary +
           "\r\nContent-Disposition: form-data; name=\"ufile01\"; filename=\"/tmp/a.jpg\"\r\n" +
           "Content-Type: image/jpeg\r\n\r\n" + content + "\r\n--" + kBoundary + "--\r\n";
}

class MultipartReaderTest : public ::testing::Test {
protected:
    standin::MultipartReader Reader()
    {
        return standin::MultipartReader(kBoundary, [this](const standin::MultipartPart&, std::size_t index) {
            return folder / ("part" + std::to_string(index));
        });
    }
    std::string Stored(std::size_t index)
    {
        std::ifstream in(folder / ("part" + std::to_string(index)), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void SetUp() override { std::filesystem::create_directories(folder); }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                   ("multipart-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                    "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(MultipartReaderTest, PiecesOfEverySizeGiveTheSameParts)
{
    // Content that holds CR LF and dashes, and a near-boundary, but not the delimiter.
    const std::string content = "\r\n--" + kBoundary.substr(0, 20) + "x\r\n-\r\n--\r";
    const std::string body = Body(content);
    for (const std::size_t piece : {std::size_t{1}, std::size_t{3}, std::size_t{47}, body.size()}) {
        auto reader = Reader();
        for (std::size_t at = 0; at < body.size(); at += piece)
            reader.Feed(std::string_view(body).substr(at, piece));
        reader.Finish();
        ASSERT_TRUE(reader.Complete()) << "piece " << piece << ": " << reader.Error();
        ASSERT_EQ(reader.Parts().size(), 2u);
        EXPECT_EQ(reader.Parts()[0].value, "Hi");
        EXPECT_EQ(reader.Parts()[1].filename, "/tmp/a.jpg");
        EXPECT_EQ(reader.Parts()[1].contentType, "image/jpeg");
        EXPECT_EQ(reader.Parts()[1].size, content.size());
        EXPECT_EQ(Stored(1), content);
    }
}

TEST_F(MultipartReaderTest, BodyWithoutClosingDelimiterIsIncomplete)
{
    auto reader = Reader();
    const std::string body = Body("abc");
    reader.Feed(std::string_view(body).substr(0, body.size() - 10));
    reader.Finish();
    EXPECT_FALSE(reader.Complete());
    EXPECT_FALSE(reader.Error().empty());
    EXPECT_FALSE(reader.Parts().back().complete);
}

TEST_F(MultipartReaderTest, BodyWithoutParametersIsCompleteAndEmpty)
{
    auto reader = Reader();
    reader.Feed("\r\n--" + kBoundary + "--\r\n");
    reader.Finish();
    EXPECT_TRUE(reader.Complete());
    EXPECT_TRUE(reader.Parts().empty());
}

TEST_F(MultipartReaderTest, BoundaryComesFromTheContentTypeQuotedOrNot)
{
    EXPECT_EQ(standin::MultipartReader::BoundaryOf("multipart/form-data; boundary=" + kBoundary), kBoundary);
    EXPECT_EQ(standin::MultipartReader::BoundaryOf("multipart/form-data; boundary=\"a b\"; x=1"), "a b");
    EXPECT_EQ(standin::MultipartReader::BoundaryOf("application/x-www-form-urlencoded"), "");
}

}  // namespace
