#include "tests/support/RegistryImport.h"

#include "platform/win32/Utf.h"
#include "platform/win32/Win32Types.h"

#include <fstream>
#include <memory>

namespace testsupport {

namespace {

struct CloseHandleDeleter {
    void operator()(HANDLE handle) const noexcept { ::CloseHandle(handle); }
};
using Handle = std::unique_ptr<void, CloseHandleDeleter>;

}  // namespace

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
    std::filesystem::path unicode = file;
    unicode += L".utf16.reg";
    std::ofstream out(unicode, std::ios::binary | std::ios::trunc);
    if (text.starts_with("\xFF\xFE")) {
        out.write(text.data(), static_cast<std::streamsize>(text.size()));  // already the editor's own
    } else {
        const std::u16string wide = u'\uFEFF' + Utf8ToUtf16(text);
        out.write(reinterpret_cast<const char*>(wide.data()), static_cast<std::streamsize>(wide.size() * 2));
    }
    out.close();
    return RunRegistryEditor(L"import \"" + unicode.wstring() + L"\"") == 0;
}

void DeleteProgramKey() { RunRegistryEditor(L"delete HKCU\\Software\\OrvaneSystems /f"); }

}  // namespace testsupport
