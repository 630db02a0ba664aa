// Each installed program answers --help and --version by itself, before it needs a
// display, a network or a settings file.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Outcome {
    std::string output;
    int status = -1;
};

Outcome RunCommand(const std::string& command)
{
    Outcome outcome;
    FILE* pipe = ::popen((command + " 2>/dev/null </dev/null").c_str(), "r");
    if (!pipe)
        return outcome;
    std::array<char, 4096> buffer{};
    while (const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe))
        outcome.output.append(buffer.data(), got);
    const int raw = ::pclose(pipe);
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return outcome;
}

std::vector<std::string> Programs()
{
    std::vector<std::string> programs{ZENDRIK_JOB_EXE, ZENDRIK_STANDIN_EXE};
#ifdef ZENDRIK_WINDOW_EXE
    programs.push_back(ZENDRIK_WINDOW_EXE);
#endif
    return programs;
}

std::string NameOf(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

TEST(ProgramInfoProcess, VersionPrintsTheNameAndVersionAndExitsZero)
{
    for (const std::string& program : Programs()) {
        const Outcome outcome = RunCommand("'" + program + "' --version");
        EXPECT_EQ(outcome.status, 0) << program;
        EXPECT_EQ(outcome.output, NameOf(program) + " 2.4.4\n");
    }
}

TEST(ProgramInfoProcess, HelpPrintsUsageOnStandardOutputAndExitsZero)
{
    for (const std::string& program : Programs()) {
        const Outcome outcome = RunCommand("'" + program + "' --help");
        EXPECT_EQ(outcome.status, 0) << program;
        EXPECT_EQ(outcome.output.rfind("usage: " + NameOf(program) + " ", 0), 0u) << outcome.output;
        EXPECT_NE(outcome.output.find("--version"), std::string::npos) << program;
    }
}

// Without a token the job cannot log in: it fails as before instead of printing help.
TEST(ProgramInfoProcess, HelpAfterTheFirstArgumentIsNoRequest)
{
    const std::string quiet = "env -u ZENDRIK_ACCESS_TOKEN XDG_CONFIG_HOME=/nonexistent XDG_DATA_HOME=/nonexistent "
                              "ZENDRIK_GRAPH_HOST=127.0.0.1:9 ZENDRIK_WEB_HOST=127.0.0.1:9 ";
    const Outcome outcome = RunCommand(quiet + "'" + ZENDRIK_JOB_EXE + "' -aParty --help");
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.output.find("usage:"), std::string::npos) << outcome.output;
}

}  // namespace
