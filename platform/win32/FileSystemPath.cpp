#include "platform/win32/FileSystemPath.h"

#ifdef _WIN32
#include "platform/win32/WindowsText.h"

#include <string>

std::filesystem::path FileSystemPath(std::u16string_view fileName)
{
    return std::filesystem::path(std::wstring(WindowsText(fileName.data()), fileName.size()));
}
#else
#include "platform/win32/Utf.h"

std::filesystem::path FileSystemPath(std::u16string_view fileName)
{
    return std::filesystem::path(Utf16ToUtf8(fileName));
}
#endif
