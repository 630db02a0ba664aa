#include "app/FileKind.h"

#include <array>

namespace {

constexpr std::array<std::u16string_view, 29> kVideoExtensions = {
    u"3g2",  u"3gp", u"3gpp", u"asf", u"avi", u"dat", u"divx", u"dv",   u"f4v",   u"flv",
    u"m2ts", u"m4v", u"mkv",  u"mod", u"mov", u"mp4", u"mpe",  u"mpeg", u"mpeg4", u"mpg",
    u"mts",  u"nsv", u"ogm",  u"ogv", u"qt",  u"tod", u"ts",   u"vob",  u"wmv",
};

char16_t FoldAscii(char16_t unit)
{
    return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit - u'A' + u'a') : unit;
}

bool EqualsIgnoringAsciiCase(std::u16string_view left, std::u16string_view right)
{
    if (left.size() != right.size())
        return false;
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (FoldAscii(left[i]) != FoldAscii(right[i]))
            return false;
    }
    return true;
}

}  // namespace

std::u16string_view FileExtension(std::u16string_view path)
{
    const std::size_t separator = path.find_last_of(u"/\\");
    const std::u16string_view name = separator == std::u16string_view::npos ? path : path.substr(separator + 1);
    const std::size_t dot = name.rfind(u'.');
    return dot == std::u16string_view::npos ? std::u16string_view() : name.substr(dot + 1);
}

bool IsVideoFile(std::u16string_view path)
{
    const std::u16string_view extension = FileExtension(path);
    for (std::u16string_view video : kVideoExtensions) {
        if (EqualsIgnoringAsciiCase(extension, video))
            return true;
    }
    return false;
}

bool IsGifFile(std::u16string_view path) { return EqualsIgnoringAsciiCase(FileExtension(path), u"gif"); }
