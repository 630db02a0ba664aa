#include "tests/gui/GuiFixture.h"

#include "tests/support/OtherRunner.h"

#include <fstream>
#include <sstream>

namespace guitest {

namespace {

testsupport::StandinProcess* NewService()
{
    // Long enough a delay that the window is found while the title still says "(logging in)".
    return new testsupport::StandinProcess({"--autosubmit", "--autosubmit-delay", "1500"});
}

// Where a program that shows no window is stuck: every thread's stack, when gdb is there.
std::string ThreadStacks(ChildProcess& process)
{
    if (!process.Running() || !std::filesystem::exists("/usr/bin/gdb"))
        return {};
    return "its threads:\n" + CommandOutput({"/usr/bin/gdb", "-p", std::to_string(process.Pid()), "-batch", "-nx",
                                             "-ex", "thread apply all bt"});
}

}  // namespace

void GuiTest::SetUpTestSuite()
{
    // As at a booth where the display serves only zendrik2: it resets when its last client leaves.
    server_ = new XServer(testsupport::XvfbReset::OnLastClient);
    service_ = NewService();
}

void GuiTest::RestartService()
{
    delete service_;
    service_ = NewService();
}

void GuiTest::TearDownTestSuite()
{
    delete service_;
    service_ = nullptr;
    delete server_;
    server_ = nullptr;
}

void GuiTest::SetUp() { service_->AdminPost("/_admin/reset", Json::Value(Json::objectValue)); }

std::vector<std::string> GuiTest::Environment() const
{
    std::vector<std::string> env;
    for (const std::string& line : service_->Lines()) {
        if (line.starts_with("env "))
            env.push_back(RunsTheWindowsWindow() ? testsupport::HostsByName(line.substr(4)) : line.substr(4));
    }
    const std::string root = home.Path();
    env.insert(env.end(), {
                              "HOME=" + root,
                              "XDG_CONFIG_HOME=" + root + "/config",
                              "XDG_DATA_HOME=" + root + "/data",
                              "XDG_CACHE_HOME=" + root + "/cache",
                              "LD_LIBRARY_PATH=" ZENDRIK_QUORELL_RECORDER_DIR,
                              "ZENDRIK_QUORELL_RECORD=" + root + "/quorell.txt",
                              "ZENDRIK_DEBUG=1",
                              "NO_AT_BRIDGE=1",
                              "GDK_BACKEND=x11",
                          });
    return env;
}

std::unique_ptr<ProgramRun> GuiTest::Start(const std::vector<std::string>& arguments,
                                           const std::vector<std::string>& extraEnv) const
{
    std::vector<std::string> env = Environment();
    env.insert(env.end(), extraEnv.begin(), extraEnv.end());
    auto run = std::make_unique<ProgramRun>(*server_, arguments, env, home.Path());
    if (run->Window() != 0)
        return run;
    ADD_FAILURE() << "no window appeared; the program " << (run->Process().Running() ? "still runs" : "has ended")
                  << "\n"
                  << run->Stderr() << ThreadStacks(run->Process());
    return run;
}

std::vector<std::string> GuiTest::Unattended(const std::vector<std::string>& options, const std::string& password)
{
    std::vector<std::string> arguments{"-x100", "-y100", "-w800", "-h600", "-uguest@example.com", "-p" + password};
    arguments.insert(arguments.end(), options.begin(), options.end());
    return arguments;
}

std::string GuiTest::MediaFile(const std::string& name, const std::string& prefix, std::size_t size) const
{
    std::string bytes = prefix;
    for (std::size_t i = 0; bytes.size() < size; ++i)
        bytes += static_cast<char>('a' + (i * 7 + i / 26) % 26);
    return home.Write(name, bytes);
}

std::filesystem::path GuiTest::SettingsFile() const
{
    return std::filesystem::path(home.Path()) / "config/OrvaneSystems/Zendrik/settings.reg";
}

std::filesystem::path GuiTest::CookieFolder() const
{
    return std::filesystem::path(home.Path()) / "data/OrvaneSystems/Zendrik/Cookies";
}

std::string GuiTest::QuorellCalls() const
{
    std::ifstream in(home.Path() + "/quorell.txt");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

Json::Value GuiTest::Records(const std::string& kinds) const { return service_->Received(kinds); }

Json::Value GuiTest::OnlyRecord(const std::string& kind) const
{
    const Json::Value records = Records(kind);
    EXPECT_EQ(records.size(), 1u) << "records of kind " << kind;
    return records.empty() ? Json::Value() : records[0];
}

bool GuiTest::WaitForRecords(const std::string& kind, int count) const
{
    const Json::Value answer =
        service_->AdminGet("/_admin/wait?kind=" + kind + "&count=" + std::to_string(count) + "&timeoutMs=60000");
    return answer["reached"].asBool();
}

void GuiTest::RunToUploadOk(ProgramRun& run, const std::vector<std::string>& expectedTitles) const
{
    ASSERT_NE(run.Window(), 0u);
    ASSERT_TRUE(run.Titles().WaitFor("(upload ok)", kJobTimeout)) << "titles:" << Joined(run.Titles().Titles()) << "\n"
                                                                  << run.Stderr();
    EXPECT_TRUE(InOrder(run.Titles().Titles(), expectedTitles)) << "titles:" << Joined(run.Titles().Titles());
    ASSERT_TRUE(WaitForRecords("logout")) << "the worker's logout";
    // The log's closing line follows the logout at once; the close command then ends it.
    const std::optional<int> status = run.Close();
    ASSERT_TRUE(status.has_value()) << "the program did not end on its close command";
    EXPECT_EQ(*status, 0);
}

}  // namespace guitest
