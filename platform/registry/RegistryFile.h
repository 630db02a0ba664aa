#pragma once
// The registry editor's export format ("Windows Registry Editor Version 5.00"), as a
// tree of keys under HKEY_CURRENT_USER. Accepted:
//   [HKEY_CURRENT_USER\Key\Sub]       a key; other roots are skipped with their values
//   [-HKEY_CURRENT_USER\Key]          removes that key and its subkeys
//   "Name"="text"                     REG_SZ, escapes \\ and \"
//   @="text"                          the key's default value
//   "Name"=dword:0000000a             REG_DWORD, one to eight hex digits
//   "Name"=hex:01,02,...              REG_BINARY
//   "Name"=hex(N):..                  type N in hex (hex(2) REG_EXPAND_SZ as UTF-16LE bytes)
//   "Name"=-                          removes the value
// Hex lists may run over several lines, each but the last ending in a backslash.
// Lines starting with ';' are comments. The text is UTF-16LE with its byte-order mark
// (as the editor writes it) or UTF-8, with or without a mark. A file without the
// header holds nothing; a line that cannot be parsed is skipped, and so is every value
// after a key line that cannot be parsed, until the next key line.

#include "platform/win32/Win32Types.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct RegistryValue {
    DWORD type = 0;
    std::vector<BYTE> data;
};

class RegistryHive {
public:
    // Key paths are relative to HKEY_CURRENT_USER, components separated by '\'.
    // Names compare without regard to the case of ASCII letters, as on Windows.
    bool HasKey(std::u16string_view path) const;
    const RegistryValue* FindValue(std::u16string_view keyPath, std::u16string_view name) const;

    void AddKey(std::u16string_view path);
    void RemoveKey(std::u16string_view path);
    void SetValue(std::u16string_view keyPath, std::u16string_view name, RegistryValue value);
    void RemoveValue(std::u16string_view keyPath, std::u16string_view name);

    // The canonical form of a path: empty components dropped, ASCII letters folded.
    static std::u16string CanonicalPath(std::u16string_view path);

private:
    using Values = std::map<std::u16string, RegistryValue>;
    std::map<std::u16string, Values> keys_;
};

// The file's bytes, as read from disk.
RegistryHive ParseRegistryFile(std::string_view bytes);
