#include "app/ProgramInfo.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct InfoCase {
    std::vector<const char*> arguments;  // after the program name
    InfoRequest expected;
};

// A host's command lines never change meaning: only the exact whole first argument asks.
TEST(ProgramInfo, OnlyTheExactFirstArgumentAsksForHelpOrVersion)
{
    const std::vector<InfoCase> cases = {
        {{"--help"}, InfoRequest::Help},
        {{"--version"}, InfoRequest::Version},
        {{"--help", "-aParty"}, InfoRequest::Help},
        {{}, InfoRequest::None},
        {{""}, InfoRequest::None},
        {{"-aParty", "--help"}, InfoRequest::None},
        {{"-fshot.jpg", "--version"}, InfoRequest::None},
        {{"-h--help"}, InfoRequest::None},
        {{"-help"}, InfoRequest::None},
        {{"-h600"}, InfoRequest::None},
        {{"--HELP"}, InfoRequest::None},
        {{"--help "}, InfoRequest::None},
        {{"--versions"}, InfoRequest::None},
        {{"-a--version"}, InfoRequest::None},
        {{"--"}, InfoRequest::None},
    };
    for (const InfoCase& c : cases) {
        std::vector<const char*> argv{"zendrik2"};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        argv.push_back(nullptr);
        const std::string shown = c.arguments.empty() ? "(none)" : c.arguments.front();
        EXPECT_EQ(InfoRequestOf(static_cast<int>(argv.size()) - 1, argv.data()), c.expected) << shown;
    }
}

}  // namespace
