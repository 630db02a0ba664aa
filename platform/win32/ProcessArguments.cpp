#include "platform/win32/ProcessArguments.h"

#include "platform/win32/WindowsText.h"

#include <memory>

#include <shellapi.h>

namespace {

// CommandLineToArgvW's array is one LocalAlloc block.
struct FreeLocal {
    void operator()(LPWSTR* block) const noexcept { ::LocalFree(block); }
};

}  // namespace

std::vector<std::u16string> ProcessArguments()
{
    int count = 0;
    const std::unique_ptr<LPWSTR[], FreeLocal> split(::CommandLineToArgvW(::GetCommandLineW(), &count));
    std::vector<std::u16string> arguments;
    if (!split)
        return arguments;
    for (int i = 1; i < count; ++i)
        arguments.emplace_back(ProgramText(split[i]));
    return arguments;
}
