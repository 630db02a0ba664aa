// Without an X display (none named, or one nobody serves, or lost while it runs) the
// program says so on stderr and ends with an exit code, never by a signal.

#include "tests/gui/GuiHarness.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <fstream>
#include <sstream>

namespace guitest {
namespace {

std::string TextOf(const std::filesystem::path& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> HomeEnvironment(const testsupport::TempDir& home)
{
    return {"HOME=" + home.Path(),
            "XDG_CONFIG_HOME=" + home.Path() + "/config",
            "XDG_DATA_HOME=" + home.Path() + "/data",
            "XDG_CACHE_HOME=" + home.Path() + "/cache",
            "NO_AT_BRIDGE=1",
            "WAYLAND_DISPLAY="};
}

struct MissingDisplay {
    const char* name;
    std::string display;
    const char* backend;
    const char* waylandDisplay = "";
};

TEST(NoDisplay, AMissingDisplayIsAMessageAndAnExitCode)
{
    SKIP_FOR_THE_WINDOWS_WINDOW("without a display Wine itself cannot start a Windows program");
    const std::vector<MissingDisplay> cases = {
        {"not set", "", "x11"},
        {"nobody serves it", ":64999", "x11"},
        {"no socket at the path", "/nonexistent/x11-socket:0", "x11"},
        {"backend left to the toolkit", ":64998", ""},
        // Past the check, the toolkit's own start fails: its log is flushed on the way out.
        {"the toolkit cannot start", ":64997", "wayland", "zendrik2-no-such-wayland-display"},
    };
    for (const MissingDisplay& each : cases) {
        SCOPED_TRACE(each.name);
        testsupport::TempDir home;
        std::vector<std::string> env = HomeEnvironment(home);
        env.push_back("DISPLAY=" + each.display);
        env.push_back(std::string("GDK_BACKEND=") + each.backend);
        env.push_back(std::string("WAYLAND_DISPLAY=") + each.waylandDisplay);
        const std::string err = home.Path() + "/err.txt";
        ChildProcess program({ZENDRIK_GUI_EXE, "-uguest@example.com", "-psecret", "-Uhttps://example.com/"},
                             {.env = env, .err = ChildOutput::File(err)});
        const std::optional<int> status = program.WaitForExit(std::chrono::seconds(30));
        ASSERT_TRUE(status.has_value()) << "still running without a display";
        EXPECT_EQ(*status, 1) << TextOf(err);
        EXPECT_NE(TextOf(err).find("zendrik2: no display"), std::string::npos) << TextOf(err);
        // No message box tried without a display.
        EXPECT_EQ(TextOf(err).find("CRITICAL"), std::string::npos) << TextOf(err);
    }
}

TEST(NoDisplay, LosingTheDisplayEndsTheProgramWithAnExitCode)
{
    SKIP_FOR_THE_WINDOWS_WINDOW("without a display Wine itself cannot start a Windows program");
    testsupport::TempDir home;
    auto server = std::make_unique<XServer>();
    std::vector<std::string> env = HomeEnvironment(home);
    env.push_back("GDK_BACKEND=x11");
    // The login page never loads: the web host is a port nothing listens on.
    env.push_back("ZENDRIK_WEB_HOST=127.0.0.1:9");
    ProgramRun run(*server, {"-uguest@example.com", "-psecret", "-Uhttps://example.com/"}, env, home.Path());
    ASSERT_NE(run.Window(), 0u) << run.Stderr();
    server.reset();
    const std::optional<int> status = run.Process().WaitForExit(std::chrono::seconds(30));
    ASSERT_TRUE(status.has_value()) << "still running after its display went";
    EXPECT_GT(*status, 0) << run.Stderr();
    EXPECT_LT(*status, 128) << "ended by a signal\n" << run.Stderr();
}

}  // namespace
}  // namespace guitest
