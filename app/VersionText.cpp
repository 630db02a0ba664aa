#include "app/VersionText.h"

#include "app/BuildVersion.h"

#include <string>

std::u16string VersionText;

namespace {

std::u16string Decimal(unsigned value)
{
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace

FileVersion ProgramFileVersion()
{
    return {FileVersionMajor, FileVersionMinor, FileVersionBuild, FileVersionRevision};
}

std::u16string FormatVersionText(const FileVersion& version)
{
    std::u16string text = u"v" + Decimal(version.major) + u"." + Decimal(version.minor);
    if (version.revision != 0)
        return text + u"." + Decimal(version.build) + u"." + Decimal(version.revision);
    if (version.build != 0)
        return text + u"." + Decimal(version.build);
    return text;
}

void WorkOutVersionText() { VersionText = FormatVersionText(ProgramFileVersion()); }
