// zendrik2-show-command-line PROGRAM.exe: prints the command line of every running
// process of that program, one a line in UTF-8, as any other program of the user reads
// it: from the process parameters in the process's memory. For the job suite's Windows
// runs, which check what a running runner still shows of its arguments.

#include <windows.h>
// After windows.h: these need its base types.
#include <tlhelp32.h>
#include <winternl.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace {

struct CloseHandleDeleter {
    void operator()(HANDLE handle) const noexcept { ::CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, CloseHandleDeleter>;
// Text as Windows hands it over, in its own 16-bit units.
using WindowsString = std::basic_string<WCHAR>;

template <typename T>
bool Read(HANDLE process, const void* address, T& value)
{
    SIZE_T read = 0;
    return ::ReadProcessMemory(process, address, &value, sizeof value, &read) && read == sizeof value;
}

std::optional<WindowsString> CommandLineOf(DWORD pid)
{
    const Handle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    PROCESS_BASIC_INFORMATION basic{};
    PEB peb{};
    RTL_USER_PROCESS_PARAMETERS parameters{};
    if (!process ||
        ::NtQueryInformationProcess(process.get(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0)
        return std::nullopt;
    if (!Read(process.get(), basic.PebBaseAddress, peb) || !Read(process.get(), peb.ProcessParameters, parameters))
        return std::nullopt;
    WindowsString text(parameters.CommandLine.Length / sizeof(WCHAR), 0);
    SIZE_T read = 0;
    if (!::ReadProcessMemory(process.get(), parameters.CommandLine.Buffer, text.data(), parameters.CommandLine.Length,
                             &read))
        return std::nullopt;
    return text;
}

void PrintUtf8(const WindowsString& text)
{
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    std::printf("%s\n", bytes.c_str());
}

}  // namespace

int wmain(int argc, WCHAR** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: zendrik2-show-command-line PROGRAM.exe\n");
        return 2;
    }
    const Handle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
        if (::_wcsicmp(entry.szExeFile, argv[1]) != 0)
            continue;
        if (const std::optional<WindowsString> line = CommandLineOf(entry.th32ProcessID))
            PrintUtf8(*line);
    }
    return 0;
}
