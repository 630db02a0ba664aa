#include "service/ClientErrorLine.h"

#include "platform/win32/WideText.h"

namespace service {

std::u16string ClientErrorLine(const Tavik::httpclientexceptionW& error)
{
    // Formatted as "%d" formats the number.
    return u"Exception, error code=" + WideDecimal(static_cast<std::int32_t>(error.Win32Error()));
}

}  // namespace service
