#include "platform/registry/Registry.h"

#include "platform/registry/RegistryFile.h"
#include "platform/registry/RegistryFileLocation.h"
#include "platform/win32/ErrnoError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {

// A settings file is a few hundred bytes; anything this large is not one.
constexpr std::size_t kMaxFileSize = 1024 * 1024;

struct OpenKey {
    std::shared_ptr<const RegistryHive> hive;
    std::u16string path;
};

class HandleTable {
public:
    HKEY Insert(OpenKey key)
    {
        std::lock_guard lock(mutex_);
        const std::uintptr_t id = next_;
        next_ += 4;
        keys_.emplace(id, std::move(key));
        return reinterpret_cast<HKEY>(id);
    }

    std::optional<OpenKey> Find(HKEY handle)
    {
        std::lock_guard lock(mutex_);
        const auto it = keys_.find(reinterpret_cast<std::uintptr_t>(handle));
        if (it == keys_.end())
            return std::nullopt;
        return it->second;
    }

    bool Erase(HKEY handle)
    {
        std::lock_guard lock(mutex_);
        return keys_.erase(reinterpret_cast<std::uintptr_t>(handle)) != 0;
    }

private:
    std::mutex mutex_;
    std::unordered_map<std::uintptr_t, OpenKey> keys_;
    std::uintptr_t next_ = 0x1000;
};

HandleTable& Handles()
{
    static HandleTable table;
    return table;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct LoadedHive {
    LSTATUS status = ERROR_SUCCESS;
    std::shared_ptr<const RegistryHive> hive;
};

LSTATUS StatusFromErrno(int error)
{
    const DWORD code = Win32ErrorFromErrno(error);
    return static_cast<LSTATUS>(code == ERROR_PATH_NOT_FOUND ? ERROR_FILE_NOT_FOUND : code);
}

LoadedHive LoadHive()
{
    const std::optional<std::filesystem::path> path = RegistryFilePath();
    if (!path)
        return {ERROR_FILE_NOT_FOUND, nullptr};
    errno = 0;
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path->c_str(), "rb"));
    if (!file)
        return {StatusFromErrno(errno), nullptr};
    std::string bytes;
    char buffer[4096];
    for (;;) {
        const std::size_t count = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.append(buffer, count);
        if (bytes.size() > kMaxFileSize)
            return {ERROR_FILE_TOO_LARGE, nullptr};
        if (count < sizeof buffer)
            break;
    }
    if (std::ferror(file.get()))
        return {StatusFromErrno(errno), nullptr};
    return {ERROR_SUCCESS, std::make_shared<const RegistryHive>(ParseRegistryFile(bytes))};
}

std::u16string_view ViewOf(LPCWSTR text) { return text == nullptr ? std::u16string_view() : std::u16string_view(text); }

std::optional<std::u16string> BasePath(HKEY handle)
{
    if (handle == HKEY_CURRENT_USER)
        return std::u16string();
    std::optional<OpenKey> key = Handles().Find(handle);
    if (!key)
        return std::nullopt;
    return std::move(key->path);
}

// The predefined key reads the file now; an opened key has what was read at its opening.
std::optional<OpenKey> OpenedKey(HKEY handle)
{
    if (handle == HKEY_CURRENT_USER)
        return OpenKey{LoadHive().hive, std::u16string()};
    return Handles().Find(handle);
}

std::u16string JoinPath(std::u16string base, std::u16string_view subKey)
{
    if (!base.empty() && !subKey.empty())
        base += u'\\';
    base += subKey;
    return base;
}

}  // namespace

LSTATUS RegOpenKeyExW(HKEY hKey, LPCWSTR subKey, DWORD options, REGSAM samDesired, PHKEY result)
{
    if (result == nullptr)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    if (options != 0)
        return ERROR_INVALID_PARAMETER;
    if ((samDesired & ~(KEY_READ | KEY_WOW64_64KEY | KEY_WOW64_32KEY)) != 0)
        return ERROR_ACCESS_DENIED;
    std::optional<std::u16string> base = BasePath(hKey);
    if (!base)
        return ERROR_INVALID_HANDLE;
    std::u16string path = RegistryHive::CanonicalPath(JoinPath(std::move(*base), ViewOf(subKey)));

    LoadedHive loaded = LoadHive();
    if (loaded.status != static_cast<LSTATUS>(ERROR_SUCCESS)) {
        if (!path.empty())
            return loaded.status;
        loaded.hive = std::make_shared<const RegistryHive>();  // the root always opens
    }
    if (!loaded.hive->HasKey(path))
        return ERROR_FILE_NOT_FOUND;
    *result = Handles().Insert(OpenKey{std::move(loaded.hive), std::move(path)});
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD dataSize)
{
    if (reserved != nullptr || (data != nullptr && dataSize == nullptr))
        return ERROR_INVALID_PARAMETER;
    std::optional<OpenKey> key = OpenedKey(hKey);
    if (!key)
        return ERROR_INVALID_HANDLE;
    const RegistryValue* value = key->hive ? key->hive->FindValue(key->path, ViewOf(valueName)) : nullptr;
    if (value == nullptr)
        return ERROR_FILE_NOT_FOUND;
    if (type != nullptr)
        *type = value->type;
    const DWORD size = static_cast<DWORD>(value->data.size());
    if (dataSize == nullptr)
        return ERROR_SUCCESS;
    const DWORD room = *dataSize;
    *dataSize = size;
    if (data == nullptr)
        return ERROR_SUCCESS;
    if (room < size)
        return ERROR_MORE_DATA;
    if (size != 0)
        std::memcpy(data, value->data.data(), size);
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY hKey)
{
    if (hKey == HKEY_CURRENT_USER)
        return ERROR_SUCCESS;
    return Handles().Erase(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
