// Multipart uploads, byte for byte on the wire, with their progress counters.

#include "CaughtException.h"
#include "ClientTestSupport.h"
#include "tests/support/Backend.h"
#include "tests/support/WireServer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace Tavik;
using namespace clienttest;
using testsupport::WireServer;

namespace {

// Enough of a GIF for every sniffer: Wine's names a few bytes of one as unknown data.
const std::string kGif = "GIF89a" + std::string(100, 'g');

std::string FieldPart(const std::string& boundary, const std::string& name, const std::string& value)
{
    return "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
}

std::string FilePart(const std::string& boundary, const std::string& name, const std::string& path,
                     const std::string& mime, const std::string& content)
{
    return "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"; filename=\"" + path +
           "\"\r\nContent-Type: " + mime + "\r\n\r\n" + content + "\r\n";
}

std::string Closing(const std::string& boundary) { return "--" + boundary + "--\r\n"; }

// Drives an upload as the program's uploads do: a stat before every step.
std::vector<CHttpPostStat> RunUpload(CHttpClient& client, DWORD nDesired, CHttpResponse*& response)
{
    std::vector<CHttpPostStat> stats;
    for (;;) {
        stats.emplace_back();
        client.QueryPostStat(stats.back());
        if ((response = client.ProceedContext(nDesired)) != nullptr)
            return stats;
    }
}

}  // namespace

TEST(UploadContext, FieldAndFilePartsByteForByte)
{
    WireServer server;
    TempDir dir;
    const std::string png = PngBytes(100);
    const std::string path = dir.Write("p.bin", png);

    CHttpClient client;
    Configure(client);
    client.AddParam(u"f", W(path).c_str(), PARAM_FLAG_FILE);
    client.AddParam(u"a", u"1");
    const std::u16string url = server.BaseUrlW() + u"/v2.12/123/photos";
    client.StartUploadContext(url.c_str());
    CHttpResponse* response = nullptr;
    const auto stats = RunUpload(client, 1024, response);
    EXPECT_EQ(ReadReply(response).status, 200u);

    ASSERT_TRUE(server.WaitForRequests(1));
    const auto request = server.Requests()[0];
    const std::string contentType = request.Header("Content-Type").value_or("");
    const std::string boundary = BoundaryOf(contentType);
    ASSERT_EQ(boundary.size(), 43u) << contentType;
    EXPECT_EQ(boundary.rfind("----VESKO-", 0), 0u);
    EXPECT_EQ(contentType, "multipart/form-data; boundary=" + boundary);

    const std::string expected = FieldPart(boundary, "a", "1") +
                                 FilePart(boundary, "f", path, testsupport::kSniffedPng, png) + Closing(boundary);
    EXPECT_EQ(request.body, expected);
    // 94 for the field, 236 + the path beyond "p.bin" and the type beyond "image/png" for
    // the file, 49 for the end.
    EXPECT_EQ(expected.size(), 379u + path.size() - 5 + std::string_view(testsupport::kSniffedPng).size() - 9);
    EXPECT_EQ(request.Header("Content-Length").value_or(""), std::to_string(expected.size()));
    EXPECT_EQ(request.Header("Cache-Control").value_or(""), "no-cache");
    EXPECT_EQ(request.Header("User-Agent").value_or(""), "Orvane Systems User Agent v1.0");
    EXPECT_FALSE(request.Header("Expect").has_value());

    // Preview: the first part (the field) started, nothing written.
    ASSERT_GE(stats.size(), 2u);
    EXPECT_EQ(stats[0].ActualTotalByte(), expected.size());
    EXPECT_EQ(stats[0].ActualPostedByte(), 0u);
    EXPECT_EQ(stats[0].PostedCount(), 1u);
    EXPECT_EQ(stats[0].FileCount(), 1u);
    EXPECT_EQ(stats[0].PostedFileCount(), 0u);
    EXPECT_FALSE(stats[0].CurrParamIsFile());
    EXPECT_EQ(stats.back().ActualPostedByte(), expected.size());
}

TEST(UploadContext, FileContentInStepsOfDesiredSizeWithProgress)
{
    WireServer server;
    TempDir dir;
    const std::string content = PngBytes(3000);
    const std::string path = dir.Write("shot.png", content);

    CHttpClient client;
    Configure(client);
    client.AddParam(u"access_token", u"tok");
    client.AddParam(u"source", W(path).c_str(), PARAM_FLAG_FILE);
    const std::u16string url = server.BaseUrlW() + u"/v2.12/me/photos";
    client.StartUploadContext(url.c_str());
    CHttpResponse* response = nullptr;
    const auto stats = RunUpload(client, 1024, response);
    ReadReply(response);

    // Before each step: preview, token part started, token written, file part started,
    // 1024, 1024 and 952 (+ "\r\n") content bytes, closing delimiter; the next step ends.
    ASSERT_EQ(stats.size(), 8u);
    std::vector<DWORD> posted;
    for (const auto& stat : stats)
        posted.push_back(stat.ActualPostedByte());
    const DWORD total = stats[0].ActualTotalByte();
    EXPECT_EQ(posted[0], 0u);
    EXPECT_EQ(posted[4] - posted[3], 1024u);
    EXPECT_EQ(posted[5] - posted[4], 1024u);
    EXPECT_EQ(posted[6] - posted[5], 952u + 2u);
    EXPECT_EQ(posted[7], total);
    EXPECT_EQ(total - posted[6], 49u);  // the closing delimiter
    EXPECT_TRUE(stats[4].CurrParamIsFile());
    EXPECT_EQ(stats[4].PostedFileCount(), 1u);
    EXPECT_EQ(stats[4].CurrParamPostedByte(), 1024u);
    EXPECT_EQ(stats[4].CurrParamRemainByte(), 3000u - 1024u);
    EXPECT_TRUE(stats[6].CurrParamIsComplete());

    ASSERT_TRUE(server.WaitForRequests(1));
    const auto request = server.Requests()[0];
    const std::string boundary = BoundaryOf(request.Header("Content-Type").value_or(""));
    EXPECT_EQ(request.body, FieldPart(boundary, "access_token", "tok") +
                                FilePart(boundary, "source", path, testsupport::kSniffedPng, content) +
                                Closing(boundary));
}

TEST(UploadContext, BigStepsReadThroughTheBufferAndEmptyPartsCloseAtOnce)
{
    WireServer server;
    TempDir dir;
    std::string content(200000, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7);
    const std::string path = dir.Write("clip.bin", content);

    CHttpClient client;
    Configure(client);
    client.AddParam(u"description", u"");
    client.AddParam(u"file", W(path).c_str(), PARAM_FLAG_FILE);
    const std::u16string url = server.BaseUrlW() + u"/videos";
    client.StartUploadContext(url.c_str());
    CHttpResponse* response = nullptr;
    const auto stats = RunUpload(client, 0xFFFFFFFF, response);
    ReadReply(response);

    // description start (closed at once), file start, one content step, closing, end.
    EXPECT_EQ(stats.size(), 5u);
    ASSERT_TRUE(server.WaitForRequests(1));
    const auto request = server.Requests()[0];
    const std::string boundary = BoundaryOf(request.Header("Content-Type").value_or(""));
    const auto mimeAt = request.body.find("Content-Type: ") + 14;
    const std::string mime = request.body.substr(mimeAt, request.body.find("\r\n", mimeAt) - mimeAt);
    EXPECT_EQ(request.body, FieldPart(boundary, "description", "") + FilePart(boundary, "file", path, mime, content) +
                                Closing(boundary));
}

TEST(UploadContext, MissingFileIsAnEmptyOctetStreamPart)
{
    WireServer server;
    CHttpClient client;
    Configure(client);
    client.AddParam(u"source", u"/nonexistent/dir/shot.jpg", PARAM_FLAG_FILE);
    const std::u16string url = server.BaseUrlW() + u"/up";
    client.StartUploadContext(url.c_str());
    CHttpResponse* response = nullptr;
    RunUpload(client, 1024, response);
    EXPECT_EQ(ReadReply(response).status, 200u);

    ASSERT_TRUE(server.WaitForRequests(1));
    const auto request = server.Requests()[0];
    const std::string boundary = BoundaryOf(request.Header("Content-Type").value_or(""));
    EXPECT_EQ(request.body, FilePart(boundary, "source", "/nonexistent/dir/shot.jpg", "application/octet-stream", "") +
                                Closing(boundary));
}

TEST(UploadContext, NoParametersSendsTheEmptyBody)
{
    WireServer server;
    CHttpClient client;
    Configure(client);
    const std::u16string url = server.BaseUrlW() + u"/empty";
    client.StartUploadContext(url.c_str());
    CHttpPostStat stat;
    client.QueryPostStat(stat);
    EXPECT_EQ(stat.ActualTotalByte(), 51u);
    EXPECT_EQ(client.ProceedContext(1024), nullptr);
    ReadReply(client.ProceedContext(1024));

    ASSERT_TRUE(server.WaitForRequests(1));
    const auto request = server.Requests()[0];
    const std::string boundary = BoundaryOf(request.Header("Content-Type").value_or(""));
    EXPECT_EQ(request.body, "\r\n--" + boundary + "--\r\n");
}

TEST(UploadContext, NamesAndPathsGoAsUtf8)
{
    WireServer server;
    TempDir dir;
    const std::string path = dir.Write("f\xC3\xA9te.gif", kGif);
    CHttpClient client;
    Configure(client);
    client.AddParam(u"caption", u"Caf\u00e9 \u20ac \"q\"");
    client.AddParam(u"file", W(path).c_str(), PARAM_FLAG_FILE);
    const std::u16string url = server.BaseUrlW() + u"/gifs";
    client.StartUploadContext(url.c_str());
    CHttpResponse* response = nullptr;
    RunUpload(client, 1024, response);
    ReadReply(response);

    ASSERT_TRUE(server.WaitForRequests(1));
    const auto request = server.Requests()[0];
    const std::string boundary = BoundaryOf(request.Header("Content-Type").value_or(""));
    EXPECT_EQ(request.body, FieldPart(boundary, "caption", "Caf\xC3\xA9 \xE2\x82\xAC \"q\"") +
                                FilePart(boundary, "file", path, "image/gif", kGif) + Closing(boundary));
}

// The file is read ahead a buffer at a time: whatever the step, each part's bytes arrive
// whole and in order, and no part's read runs into the next one.
TEST(UploadContext, FilesOfAnySizeArriveWholeInAnyStep)
{
    constexpr std::size_t kBuffer = CHttpClient::UploadReadBufferSize;
    const std::vector<std::pair<std::size_t, std::size_t>> sizes = {
        {kBuffer + 1000, 2 * kBuffer + 1}, {kBuffer, 1}, {1000, kBuffer - 1}};
    for (const DWORD step : {1000u, 1024u, 57344u, 70000u}) {
        for (const auto& [firstSize, secondSize] : sizes) {
            SCOPED_TRACE("step " + std::to_string(step) + ", files of " + std::to_string(firstSize) + " and " +
                         std::to_string(secondSize) + " bytes");
            WireServer server;
            TempDir dir;
            std::string first(firstSize, '\0'), second(secondSize, '\0');
            for (std::size_t i = 0; i < first.size(); ++i)
                first[i] = static_cast<char>(i * 7 + i / 251);
            for (std::size_t i = 0; i < second.size(); ++i)
                second[i] = static_cast<char>(i * 13 + 5);
            const std::string firstPath = dir.Write("a.bin", first);
            const std::string secondPath = dir.Write("b.bin", second);

            CHttpClient client;
            Configure(client);
            client.AddParam(u"a", W(firstPath).c_str(), PARAM_FLAG_FILE);
            client.AddParam(u"b", u"text");
            client.AddParam(u"c", W(secondPath).c_str(), PARAM_FLAG_FILE);
            const std::u16string url = server.BaseUrlW() + u"/up";
            client.StartUploadContext(url.c_str());
            CHttpResponse* response = nullptr;
            RunUpload(client, step, response);
            ReadReply(response);

            ASSERT_TRUE(server.WaitForRequests(1));
            const auto request = server.Requests()[0];
            const std::string boundary = BoundaryOf(request.Header("Content-Type").value_or(""));
            const auto mimeAt = request.body.find("Content-Type: ") + 14;
            const std::string mime = request.body.substr(mimeAt, request.body.find("\r\n", mimeAt) - mimeAt);
            const std::string secondMimeAt = request.body.substr(request.body.rfind("Content-Type: ") + 14);
            const std::string secondMime = secondMimeAt.substr(0, secondMimeAt.find("\r\n"));
            EXPECT_TRUE(request.body ==
                        FilePart(boundary, "a", firstPath, mime, first) + FieldPart(boundary, "b", "text") +
                            FilePart(boundary, "c", secondPath, secondMime, second) + Closing(boundary));
        }
    }
}

// A file cut short during its upload ends the upload with the file error; the bytes
// read ahead before the cut do not make the part look whole.
TEST(UploadContext, FileCutShortDuringTheUploadFails)
{
    SKIP_ON_WINDOWS("the upload holds its files open without write sharing, so nobody can cut one short");
    WireServer server;
    TempDir dir;
    const std::string path = dir.Write("clip.bin", std::string(200000, 'v'));
    CHttpClient client;
    Configure(client);
    client.AddParam(u"source", W(path).c_str(), PARAM_FLAG_FILE);
    const std::u16string url = server.BaseUrlW() + u"/videos";
    client.StartUploadContext(url.c_str());
    for (int step = 0; step < 80; ++step)
        ASSERT_EQ(client.ProceedContext(1024), nullptr);
    std::filesystem::resize_file(path, 100000);
    const httpclientexceptionW error = Caught([&] {
        while (client.ProceedContext(1024) == nullptr) {
        }
    });
    EXPECT_EQ(error.ErrorCode(), static_cast<DWORD>(HttpError::UnexpectedFileBytes));
}
