#include "app/CommandLineOptions.h"

#include "app/CommandLineToken.h"
#include "platform/win32/Utf.h"
#include "platform/win32/WideCrt.h"

#ifdef _WIN32
#include "platform/win32/ProcessArguments.h"
#endif

#include <limits>

namespace {

void SetMode(CommandLineOptions& options)
{
    const UploadJob& job = options.job;
    const bool unattended = job.windowY != 0 && !job.userEmail.empty() && !job.userPassword.empty();
    options.interactive = !unattended;
    options.loginPending = unattended;
}

bool IsDigit(char16_t unit) { return unit >= u'0' && unit <= u'9'; }

}  // namespace

std::int32_t CommandLineInteger(std::u16string_view value)
{
    std::size_t i = 0;
    while (i < value.size() && wcrt::iswspace(value[i]))
        ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == u'+' || value[i] == u'-')) {
        negative = value[i] == u'-';
        ++i;
    }
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < value.size() && IsDigit(value[i]); ++i) {
        if (magnitude < kLimit)
            magnitude = magnitude * 10 + (value[i] - u'0');
    }
    const std::int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (signedValue < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(signedValue);
}

void ApplyCommandLineToken(UploadJob& job, std::u16string_view token)
{
    if (token.size() < 2 || token[0] != u'-')
        return;
    const std::u16string_view value = token.substr(2);
    switch (token[1]) {
    case u'a': job.albumName = value; break;
    case u'b': job.comments = value; break;
    case u'd': job.description = value; break;
    case u'f': job.filePath = value; break;
    case u'p': job.userPassword = value; break;
    case u'u': job.userEmail = value; break;
    case u'U': job.linkUrl = value; break;
    case u'x': job.windowX = CommandLineInteger(value); break;
    case u'y': job.windowY = CommandLineInteger(value); break;
    case u'w': job.windowWidth = CommandLineInteger(value); break;
    case u'h': job.windowHeight = CommandLineInteger(value); break;
    default: break;
    }
}

CommandLineOptions CommandLineOptions::FromCommandLine(std::u16string_view arguments)
{
    CommandLineOptions options;
    std::u16string remainder(arguments);
    while (!remainder.empty())
        ApplyCommandLineToken(options.job, NextCommandLineToken(remainder));
    SetMode(options);
    return options;
}

CommandLineOptions CommandLineOptions::FromArguments(const std::vector<std::u16string>& arguments)
{
    CommandLineOptions options;
    for (const std::u16string& argument : arguments)
        ApplyCommandLineToken(options.job, argument);
    SetMode(options);
    return options;
}

std::vector<std::u16string> ArgumentsFromArgv(int argc, const char* const* argv)
{
    std::vector<std::u16string> arguments;
    for (int i = 1; i < argc && argv[i] != nullptr; ++i)
        arguments.push_back(Utf8ToUtf16(argv[i]));
    return arguments;
}

std::vector<std::u16string> ProgramArguments([[maybe_unused]] int argc, [[maybe_unused]] const char* const* argv)
{
#ifdef _WIN32
    return ProcessArguments();
#else
    return ArgumentsFromArgv(argc, argv);
#endif
}
