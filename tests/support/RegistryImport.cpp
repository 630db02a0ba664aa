#include "tests/support/RegistryImport.h"

#include "platform/win32/Utf.h"

#ifdef _WIN32
#include "platform/win32/Win32Types.h"
#else
#include "tests/support/ChildProcess.h"
#endif

#include <fstream>
#include <memory>
#include <vector>

namespace testsupport {

namespace {

// The editor reads a version 5 file only in UTF-16.
std::filesystem::path WriteEditorFile(const std::filesystem::path& file, std::string_view text)
{
    std::filesystem::path unicode = file;
    unicode += ".utf16.reg";
    std::ofstream out(unicode, std::ios::binary | std::ios::trunc);
    if (text.starts_with("\xFF\xFE")) {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));  // already the editor's own
    } else {
        const std::u16string wide = u'\uFEFF' + Utf8ToUtf16(text);
        out.write(reinterpret_cast<const char*>(wide.data()), static_cast<std::streamsize>(wide.size() * 2));
    }
    return unicode;
}

#ifdef _WIN32
struct CloseHandleDeleter {
    void operator()(HANDLE handle) const noexcept { ::CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, CloseHandleDeleter>;
#else
int RunWineRegistryEditor(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), {"wine", "reg"});
    ChildProcess editor(arguments);
    return editor.WaitForExit(std::chrono::minutes(1)).value_or(-1);
}
#endif

}  // namespace

#ifdef _WIN32
int RunRegistryEditor(const std::wstring& arguments)
{
    std::wstring command = L"reg.exe " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &info))
        return -1;
    const Handle process(info.hProcess);
    const Handle thread(info.hThread);
    ::WaitForSingleObject(info.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(info.hProcess, &code);
    return static_cast<int>(code);
}

bool ImportRegistryFile(const std::filesystem::path& file, std::string_view text)
{
    return RunRegistryEditor(L"import \"" + WriteEditorFile(file, text).wstring() + L"\"") == 0;
}

void DeleteProgramKey() { RunRegistryEditor(L"delete HKCU\\Software\\OrvaneSystems /f"); }
#else
// Wine's drive Z: is the Unix root.
bool ImportRegistryFile(const std::filesystem::path& file, std::string_view text)
{
    return RunWineRegistryEditor({"import", "Z:" + WriteEditorFile(file, text).string()}) == 0;
}

void DeleteProgramKey() { RunWineRegistryEditor({"delete", "HKCU\\Software\\OrvaneSystems", "/f"}); }
#endif

}  // namespace testsupport
