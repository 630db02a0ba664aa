#include "login/ApplicationId.h"

#include "login/SettingsKey.h"
#include "platform/win32/WideText.h"

#include <optional>
#include <string_view>

#ifndef ZENDRIK_DEFAULT_APPLICATION_ID
#error "ZENDRIK_DEFAULT_APPLICATION_ID comes from the build configuration"
#endif

namespace {

constexpr std::size_t kMaxApplicationIdLength = 255;

}  // namespace

std::u16string DefaultApplicationId() { return u"" ZENDRIK_DEFAULT_APPLICATION_ID; }

std::u16string ApplicationId()
{
    const SettingsKey key;
    const std::optional<std::u16string> value = ReadSettingsString(key, u"ApplicationID", kMaxApplicationIdLength);
    if (!value)
        return DefaultApplicationId();
    const std::u16string_view trimmed = TrimWhiteSpace(*value);
    return trimmed.empty() ? DefaultApplicationId() : std::u16string(trimmed);
}
