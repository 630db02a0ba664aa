#include "login/ApplicationId.h"

#include "login/SettingsKey.h"
#include "platform/win32/WideCrt.h"

#include <optional>
#include <string_view>

#ifndef ZENDRIK_DEFAULT_APPLICATION_ID
#error "ZENDRIK_DEFAULT_APPLICATION_ID comes from the build configuration"
#endif

namespace {

constexpr std::size_t kMaxApplicationIdLength = 255;

std::u16string_view Trim(std::u16string_view text)
{
    while (!text.empty() && wcrt::iswspace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && wcrt::iswspace(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace

std::u16string DefaultApplicationId()
{
    return u"" ZENDRIK_DEFAULT_APPLICATION_ID;
}

std::u16string ApplicationId()
{
    const SettingsKey key;
    const std::optional<std::u16string> value = ReadSettingsString(key, u"ApplicationID", kMaxApplicationIdLength);
    if (!value)
        return DefaultApplicationId();
    const std::u16string_view trimmed = Trim(*value);
    return trimmed.empty() ? DefaultApplicationId() : std::u16string(trimmed);
}
