#include "tests/support/OtherRunner.h"

#include <cstdlib>
#include <string_view>

namespace testsupport {

std::vector<std::string> RunnerCommand(const std::string& ownProgram, const char* variable)
{
    const char* runner = std::getenv(variable);
    if (runner == nullptr || *runner == '\0')
        return {ownProgram};
    std::vector<std::string> words;
    std::string_view rest = runner;
    for (std::size_t end; (end = rest.find(';')) != std::string_view::npos; rest.remove_prefix(end + 1))
        words.emplace_back(rest.substr(0, end));
    words.emplace_back(rest);
    return words;
}

std::string HostsByName(std::string entry)
{
    if (const std::size_t at = entry.find("=127.0.0.1:"); at != std::string::npos)
        entry.replace(at + 1, 9, "localhost");
    return entry;
}

}  // namespace testsupport
