#pragma once
// Points HOME and the XDG base directories at a fresh temporary folder for one test,
// so that settings and cookies are never read from or written to the real home. On
// Windows the settings are the registry's: the program's key is removed for the scope,
// and the settings file is imported into it as the registry editor would.

#include "tests/support/ScopedEnvironmentVariable.h"
#include "tests/support/TempDir.h"

#ifdef _WIN32
#include "tests/support/RegistryImport.h"
#endif

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class ScopedUserDirs {
public:
    ScopedUserDirs()
        : root_(MakeTempRoot()),
          home_("HOME", (root_ / "home").string()),
          config_("XDG_CONFIG_HOME", (root_ / "config").string()),
          data_("XDG_DATA_HOME", (root_ / "data").string())
    {
        std::filesystem::create_directories(root_ / "home");
#ifdef _WIN32
        testsupport::DeleteProgramKey();
#endif
    }
    ~ScopedUserDirs()
    {
#ifdef _WIN32
        testsupport::DeleteProgramKey();
#endif
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    ScopedUserDirs(const ScopedUserDirs&) = delete;
    ScopedUserDirs& operator=(const ScopedUserDirs&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    std::filesystem::path SettingsFile() const { return root_ / "config/OrvaneSystems/Zendrik/settings.reg"; }
    std::filesystem::path CookieFolder() const { return root_ / "data/OrvaneSystems/Zendrik/Cookies"; }

    void WriteSettings(std::string_view bytes) const
    {
        WriteFile(SettingsFile(), bytes);
#ifdef _WIN32
        testsupport::DeleteProgramKey();
        testsupport::ImportRegistryFile(SettingsFile(), bytes);
#endif
    }

    static void WriteFile(const std::filesystem::path& path, std::string_view bytes)
    {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out)
            throw std::runtime_error("cannot write " + path.string());
    }

private:
#ifdef _WIN32
    static std::filesystem::path MakeTempRoot() { return testsupport::TempDir::UniqueFolder(); }
#else
    static std::filesystem::path MakeTempRoot()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "zendrik-test-XXXXXX").string();
        std::vector<char> buffer(pattern.begin(), pattern.end());
        buffer.push_back('\0');
        if (::mkdtemp(buffer.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        return std::filesystem::path(buffer.data());
    }
#endif

    std::filesystem::path root_;
    ScopedEnvironmentVariable home_;
    ScopedEnvironmentVariable config_;
    ScopedEnvironmentVariable data_;
};

// The settings file's usual frame around some value lines.
inline std::string SettingsFileWith(std::string_view valueLines)
{
    return "Windows Registry Editor Version 5.00\r\n\r\n"
           "[HKEY_CURRENT_USER\\Software\\OrvaneSystems\\Zendrik\\100]\r\n" +
           std::string(valueLines) + "\r\n";
}
