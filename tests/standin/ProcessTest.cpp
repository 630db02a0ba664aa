// The executable's own contract: what it prints once listening, its shutdown and its
// refusal of a bad command line.

#include "tests/support/StandinProcess.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace standintest {

using testsupport::CaFile;
using testsupport::ParseJson;
using testsupport::StandinProcess;

namespace {

TEST(ProcessTest, PrintsEveryListenerAndTheEnvironmentBlockThenStopsCleanly)
{
    StandinProcess standin;
    const auto& lines = standin.Lines();
    auto has = [&](const std::string& line) { return std::find(lines.begin(), lines.end(), line) != lines.end(); };
    EXPECT_TRUE(has("graph https://" + standin.HostPort("graph")));
    EXPECT_TRUE(has("gif-upload https://" + standin.HostPort("gif-upload")));
    EXPECT_TRUE(has("admin http://" + standin.HostPort("admin")));
    EXPECT_TRUE(has("env ZENDRIK_GRAPH_VIDEO_HOST=" + standin.HostPort("video")));
    EXPECT_TRUE(has("env ZENDRIK_WEB_HOST=" + standin.HostPort("web")));
    EXPECT_TRUE(has("env ZENDRIK_REDIRECT_HOST=" + standin.HostPort("redirect")));
    EXPECT_TRUE(has("env ZENDRIK_GIF_MEDIA_HOST=" + standin.HostPort("gif-media")));
    EXPECT_TRUE(has("env ZENDRIK_CA_FILE=" + CaFile()));
    EXPECT_EQ(standin.Terminate(), 0);
}

TEST(ProcessTest, DataFolderKeepsTheJournalAndTheUploadedFiles)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("standin-data-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    {
        StandinProcess standin{{"--data", folder.string()}};
        standin.Client("gif-upload")
            ->Post("/v1/gifs", httplib::MultipartFormDataItems{{"api_key", "Qv7mRtX2pLw9K", "", ""},
                                                               {"file", "GIF89a;", "a.gif", "image/gif"}});
        EXPECT_EQ(standin.Terminate(), 0);
    }
    std::ifstream journal(folder / "journal.jsonl");
    std::string line;
    ASSERT_TRUE(std::getline(journal, line));
    const Json::Value record = ParseJson(line);
    EXPECT_EQ(record["kind"].asString(), "gif_upload");
    std::ifstream stored(record["details"]["file"].asString(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(stored), std::istreambuf_iterator<char>()), "GIF89a;");
    std::filesystem::remove_all(folder);
}

TEST(ProcessTest, WaitEndpointReturnsOnceTheRecordArrives)
{
    StandinProcess standin;
    standin.Client("web")->Get("/");
    const Json::Value waited = standin.AdminGet("/_admin/wait?kind=web_root&count=1&timeoutMs=20000");
    EXPECT_TRUE(waited["reached"].asBool());
    EXPECT_FALSE(standin.AdminGet("/_admin/wait?kind=logout&count=1&timeoutMs=10")["reached"].asBool());
}

TEST(ProcessTest, ClosedHostRefusesConnectionsUntilOpenedOnTheSamePort)
{
    StandinProcess standin{{"--closed", "web"}};
    const auto refused = standin.Client("web")->Get("/");
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error(), httplib::Error::Connection);

    EXPECT_TRUE(standin.AdminPost("/_admin/hosts", ParseJson(R"({"web": true})"))["web"].asBool());
    EXPECT_EQ(standin.Client("web")->Get("/")->status, 200);
    standin.AdminPost("/_admin/hosts", ParseJson(R"({"web": false})"));
    EXPECT_FALSE(standin.Client("web")->Get("/"));
}

TEST(ProcessTest, UnknownOptionIsRefused) { EXPECT_THROW(StandinProcess({"--no-such-option"}), std::runtime_error); }

}  // namespace
}  // namespace standintest
