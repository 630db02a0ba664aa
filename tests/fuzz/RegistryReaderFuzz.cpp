// The per-user registry file as an attacker or a broken disk leaves it: parsed, then
// the two settings the program reads from it.

#include "app/ProductNames.h"
#include "app/Settings.h"
#include "login/ApplicationId.h"
#include "platform/registry/RegistryFile.h"
#include "platform/registry/RegistryFileLocation.h"
#include "tests/fuzz/FuzzSupport.h"

#include <filesystem>
#include <fstream>

namespace {

std::filesystem::path PrepareHiveFile()
{
    fuzz::UsePrivateHome();
    UseProductNames();
    const std::filesystem::path file = *RegistryFilePath();
    std::filesystem::create_directories(file.parent_path());
    return file;
}

bool IsBlank(char16_t unit) { return unit == u' ' || unit == u'\t' || unit == u'\r' || unit == u'\n'; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::filesystem::path file = PrepareHiveFile();
    const std::string_view bytes = fuzz::BytesOf(data, size);

    const RegistryHive hive = ParseRegistryFile(bytes);
    if (const RegistryValue* value = hive.FindValue(kSettingsKeyPath, u"ApplicationID"))
        FUZZ_CHECK(value->data.size() <= bytes.size() * 2);

    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    static_cast<void>(ShouldDeleteFacebookCookies());
    const std::u16string id = ApplicationId();
    FUZZ_CHECK(!id.empty() && id.size() <= 255);
    FUZZ_CHECK(!IsBlank(id.front()) && !IsBlank(id.back()));
    return 0;
}
