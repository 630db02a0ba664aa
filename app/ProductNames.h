#pragma once
// The names that make the rooms below this program's own: the folder of its settings
// file, its registry key and the variable that names an extra certificate authority.
// Every program built on those rooms (zendrik2, zendrik2-job, the tests, the benchmarks)
// hands them down with UseProductNames before its first settings read or request.

// Below ${XDG_CONFIG_HOME:-$HOME/.config}.
inline constexpr char kSettingsFolder[] = "OrvaneSystems/Zendrik";
// Below HKEY_CURRENT_USER.
inline constexpr char16_t kSettingsKeyPath[] = u"Software\\OrvaneSystems\\Zendrik\\100";
inline constexpr char kExtraCaFileVariable[] = "ZENDRIK_CA_FILE";

void UseProductNames();
