// The command line: cut into tokens the program's own way, or split by the platform,
// then read as options.

#include "app/CommandLineOptions.h"
#include "app/CommandLineToken.h"
#include "tests/fuzz/FuzzSupport.h"

#include <vector>

namespace {

// Every token takes something off the remainder, so the cutting ends.
void CutIntoTokens(std::u16string remainder)
{
    while (!remainder.empty()) {
        const std::size_t before = remainder.size();
        const std::u16string token = NextCommandLineToken(remainder);
        FUZZ_CHECK(remainder.size() < before);
        FUZZ_CHECK(token.size() <= before);
        static_cast<void>(CommandLineInteger(token));
    }
}

// The bytes as argv, split at the zero bytes.
std::vector<std::string> ArgvOf(std::string_view bytes)
{
    std::vector<std::string> argv{"zendrik2"};
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\0');
        argv.emplace_back(bytes.substr(0, end));
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    }
    return argv;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes = fuzz::BytesOf(data, size);
    const std::u16string text = fuzz::UnitsOf(bytes);
    CutIntoTokens(text);
    const CommandLineOptions cut = CommandLineOptions::FromCommandLine(text);
    FUZZ_CHECK(!cut.loginPending || !cut.interactive);

    const std::vector<std::string> argv = ArgvOf(bytes);
    std::vector<const char*> pointers;
    for (const std::string& argument : argv)
        pointers.push_back(argument.c_str());
    pointers.push_back(nullptr);
    const std::vector<std::u16string> arguments = ArgumentsFromArgv(static_cast<int>(argv.size()), pointers.data());
    FUZZ_CHECK(arguments.size() == argv.size() - 1);
    const CommandLineOptions split = CommandLineOptions::FromArguments(arguments);
    FUZZ_CHECK(!split.loginPending || !split.interactive);
    static_cast<void>(CommandLineInteger(text));
    return 0;
}
