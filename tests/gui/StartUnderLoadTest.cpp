// Unattended starts as a booth makes them: zendrik2 the display's only client (a server
// that resets when its last client leaves, nothing of the harness connected), two CPU
// burners beside it. Every start reaches its login page and ends on the close command by
// itself, never by a signal.

#include "tests/gui/GuiFixture.h"

#include <signal.h>

#include <fstream>
#include <sstream>

namespace guitest {
namespace {

class StartUnderLoad : public GuiTest {};

constexpr int kStarts = 50;

std::string TailOf(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    const std::string all = text.str();
    return all.size() > 2000 ? all.substr(all.size() - 2000) : all;
}

TEST_F(StartUnderLoad, FiftyStartsAsTheDisplaysOnlyClientNeverEndBySignal)
{
    std::vector<std::unique_ptr<ChildProcess>> burners;
    for (int i = 0; i < 2; ++i)
        burners.push_back(std::make_unique<ChildProcess>(std::vector<std::string>{"sh", "-c", "while :; do :; done"}));
    Json::Value config;
    config["autosubmit"] = false;
    Service().AdminPost("/_admin/config", config);
    std::vector<std::string> env = Server().Environment();
    const std::vector<std::string> own = Environment();
    env.insert(env.end(), own.begin(), own.end());
    std::vector<std::string> argv{ZENDRIK_GUI_EXE};
    for (const std::string& option : Unattended({"-Uhttps://example.com/party"}))
        argv.push_back(option);

    int signalDeaths = 0;
    int failedStarts = 0;
    std::string report;
    for (int start = 1; start <= kStarts; ++start) {
        ASSERT_TRUE(Server().WaitUntilIdle(std::chrono::seconds(30))) << "the X server never settled";
        const std::filesystem::path err = home.Path() + "/start.err";
        const unsigned formsBefore = Records("login_form").size();
        ChildProcess program(argv, {.env = env, .err = ChildOutput::File(err.string())});
        // The login page loaded: the toolkit and its browser are up.
        const auto deadline = Clock::now() + std::chrono::seconds(60);
        while (Records("login_form").size() == formsBefore && program.Running() && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const bool reachedLogin = Records("login_form").size() > formsBefore;
        program.Signal(SIGTERM);
        const std::optional<int> status = program.WaitForExit(std::chrono::seconds(30));
        ASSERT_TRUE(status.has_value()) << "start " << start << " still runs 30 s after SIGTERM\n" << TailOf(err);
        if (*status >= 128)
            ++signalDeaths;
        if (!reachedLogin || *status != 0) {
            ++failedStarts;
            report += "start " + std::to_string(start) + ": status " + std::to_string(*status) +
                      (reachedLogin ? "" : ", no login page") + "\n" + TailOf(err) + "\n";
        }
    }
    std::printf("%d starts: %d signal deaths, %d failed starts\n", kStarts, signalDeaths, failedStarts);
    EXPECT_EQ(signalDeaths, 0) << report;
    EXPECT_EQ(failedStarts, 0) << report;
}

}  // namespace
}  // namespace guitest
