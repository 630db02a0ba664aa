#include "app/VersionText.h"

#include "app/BuildVersion.h"
#include "platform/win32/WideText.h"

#include <string>

std::u16string VersionText;

FileVersion ProgramFileVersion() { return {FileVersionMajor, FileVersionMinor, FileVersionBuild, FileVersionRevision}; }

std::u16string FormatVersionText(const FileVersion& version)
{
    std::u16string text = u"v" + WideDecimal(version.major) + u"." + WideDecimal(version.minor);
    if (version.revision != 0)
        return text + u"." + WideDecimal(version.build) + u"." + WideDecimal(version.revision);
    if (version.build != 0)
        return text + u"." + WideDecimal(version.build);
    return text;
}

void WorkOutVersionText() { VersionText = FormatVersionText(ProgramFileVersion()); }
