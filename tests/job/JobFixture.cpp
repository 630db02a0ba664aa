#include "tests/job/JobFixture.h"

#include "tests/support/OtherRunner.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace jobtest {

namespace {

// The runner's environment comes from the case alone: no host, token, home or proxy
// of the machine the tests run on.
bool InheritedVariable(std::string_view entry)
{
    for (std::string_view prefix : {"ZENDRIK_", "HOME=", "XDG_"})
        if (entry.starts_with(prefix))
            return false;
    const std::string name(entry.substr(0, entry.find('=')));
    for (std::string_view proxy :
         {"http_proxy", "https_proxy", "all_proxy", "no_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY", "NO_PROXY"})
        if (name == proxy)
            return false;
    return true;
}

}  // namespace

TempHome::TempHome() : root_(dir_.Path()) { std::filesystem::create_directories(root_ / "home"); }

std::filesystem::path TempHome::SettingsFile() const { return root_ / "config/OrvaneSystems/Zendrik/settings.reg"; }

std::filesystem::path TempHome::CookieFolder() const { return root_ / "data/OrvaneSystems/Zendrik/Cookies"; }

std::vector<std::string> TempHome::Environment() const
{
    return {"HOME=" + (root_ / "home").string(), "XDG_CONFIG_HOME=" + (root_ / "config").string(),
            "XDG_DATA_HOME=" + (root_ / "data").string()};
}

std::string TempHome::Write(const std::string& relative, const std::string& bytes) const
{
    const std::filesystem::path path = root_ / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
    return path.string();
}

std::string MediaBytes(const std::string& prefix, std::size_t size)
{
    std::string bytes = prefix.substr(0, size);
    std::uint32_t state = 0x2545F491u;
    while (bytes.size() < size) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        bytes.push_back(static_cast<char>(state & 0xFF));
    }
    return bytes;
}

std::string FileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void ExpectProgressToTheEnd(const JobResult& result, const std::string& tagPrefix)
{
    const std::vector<int> percents = result.ProgressPercents();
    ASSERT_FALSE(percents.empty());
    EXPECT_EQ(percents.front(), 0);
    EXPECT_EQ(percents.back(), 100);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    std::vector<std::string> titles;
    for (const int percent : percents) {
        const std::string title = Title(tagPrefix + "Progress: " + std::to_string(percent) + "%)");
        if (titles.empty() || titles.back() != title)
            titles.push_back(title);
    }
    EXPECT_EQ(result.ProgressTitles(), titles);
}

void JobTest::SetUpTestSuite()
{
    try {
        service_ = std::make_unique<StandinProcess>(std::vector<std::string>{"--token", kToken});
    } catch (const std::exception& error) {
        ADD_FAILURE() << error.what();
    }
}

void JobTest::TearDownTestSuite() { service_.reset(); }

void JobTest::SetUp()
{
    ASSERT_NE(service_, nullptr) << "the stand-in service did not start";
    service_->Reset();
}

std::unique_ptr<JobProcess> JobTest::StartJob(const std::vector<std::string>& arguments,
                                              const std::optional<std::string>& token,
                                              const std::vector<std::string>& extraEnvironment) const
{
    std::vector<std::string> environment;
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (InheritedVariable(*entry))
            environment.emplace_back(*entry);
    for (const std::string& entry : service_->Environment())
        environment.push_back(RunsTheWindowsRunner() ? testsupport::HostsByName(entry) : entry);
    for (const std::string& entry : home.Environment())
        environment.push_back(entry);
    if (token)
        environment.push_back("ZENDRIK_ACCESS_TOKEN=" + *token);
    environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
    return std::make_unique<JobProcess>(arguments, environment);
}

std::string JobTest::RunnerHostPort(const std::string& listener)
{
    return RunsTheWindowsRunner() ? testsupport::HostsByName("=" + Service().HostPort(listener)).substr(1)
                                  : Service().HostPort(listener);
}

JobResult JobTest::RunJob(const std::vector<std::string>& arguments, const std::optional<std::string>& token) const
{
    return StartJob(arguments, token)->Finish(kJobTimeout);
}

Json::Value JobTest::OnlyRecord(const std::string& kind) const
{
    const Json::Value records = service_->Received(kind);
    EXPECT_EQ(records.size(), 1u) << "records of kind " << kind;
    return records.empty() ? Json::Value() : records[0];
}

}  // namespace jobtest
