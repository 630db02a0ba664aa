#include "platform/win32/DebugOutput.h"

#include "platform/win32/Utf.h"

#include <cstdio>
#include <cstdlib>
#include <string>

void OutputDebugStringW(const char16_t* text)
{
    if (text == nullptr || std::getenv("ZENDRIK_DEBUG") == nullptr)
        return;
    const std::string bytes = Utf16ToUtf8(text);
    std::fwrite(bytes.data(), 1, bytes.size(), stderr);
    std::fflush(stderr);
}
