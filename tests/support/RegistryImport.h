#pragma once
// The registry editor's part in the Windows runs: the settings a test writes reach the
// registry through `reg import`, as an operator's .reg file does, and the program's key
// is removed with `reg delete` between tests. On Linux, where the job suite drives the
// Windows runner, the editor is Wine's, in the prefix WINEPREFIX names.

#include <filesystem>
#include <string>
#include <string_view>

namespace testsupport {

#ifdef _WIN32
// Runs reg.exe with the arguments; its exit code, or -1 when it could not be started.
int RunRegistryEditor(const std::wstring& arguments);
#endif

// The settings file's text in the editor's own encoding, UTF-16LE with a byte-order mark
// (converted from UTF-8 unless it has one), beside `file`, then imported; false when reg
// failed.
bool ImportRegistryFile(const std::filesystem::path& file, std::string_view text);

// HKEY_CURRENT_USER\Software\OrvaneSystems with everything below it.
void DeleteProgramKey();

}  // namespace testsupport
