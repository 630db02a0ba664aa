#include "app/ProgramInfo.h"

#include <cstdio>
#include <string_view>

namespace {

constexpr const char* kOptions = "Options (each letter glued to its value: -aParty, \"-bHello there\"):\n"
                                 "  -aALBUM     album to upload into (created when missing)\n"
                                 "  -dTEXT      the new album's description\n"
                                 "  -bTEXT      comment: the caption of the photo or video, or the post's text\n"
                                 "  -fFILE      the photo, video or GIF to publish\n"
                                 "  -UURL       a link to post instead of a file\n"
                                 "  -uEMAIL     the guest's e-mail, filled into the login form\n"
                                 "  -pPASSWORD  the guest's password, filled into the login form\n"
                                 "  -xN -yN     the login box's position on the screen\n"
                                 "  -wN -hN     the login box's width and height\n"
                                 "  --help      this text\n"
                                 "  --version   the program's name and version\n";

constexpr const char* kWindowUsage =
    "usage: zendrik2 [-aALBUM] [-dTEXT] [-bTEXT] [-fFILE | -UURL] [-uEMAIL] [-pPASSWORD]\n"
    "                [-xN] [-yN] [-wN] [-hN]\n"
    "Publishes one file or link on Facebook for a photo-booth guest. With a nonzero -y and\n"
    "both -u and -p it runs unattended: only the login box shows and the window title\n"
    "carries the status, \"Orvane Systems Zendrik - (upload ok)\" and the like.\n";

constexpr const char* kJobUsage =
    "usage: zendrik2-job [-aALBUM] [-dTEXT] [-bTEXT] [-fFILE | -UURL] [-uEMAIL] [-pPASSWORD]\n"
    "Runs the program's job without a window, always unattended, with the access token\n"
    "from ZENDRIK_ACCESS_TOKEN. Log lines go to standard output, each new window title to\n"
    "standard error. Exits 0 when the job produced its id, else 1.\n";

constexpr const char* kTrailer = "See zendrik2(1) and /usr/share/doc/zendrik2/operator.md.\n";

}  // namespace

InfoRequest InfoRequestOf(int argc, const char* const* argv)
{
    if (argc < 2 || argv[1] == nullptr)
        return InfoRequest::None;
    const std::string_view first = argv[1];
    if (first == "--help")
        return InfoRequest::Help;
    if (first == "--version")
        return InfoRequest::Version;
    return InfoRequest::None;
}

int PrintProgramInfo(InfoRequest request, InfoProgram program)
{
    const char* name = program == InfoProgram::Window ? "zendrik2" : "zendrik2-job";
    if (request == InfoRequest::Version) {
        std::printf("%s %s\n", name, ZENDRIK_VERSION_TEXT);
        return 0;
    }
    std::fputs(program == InfoProgram::Window ? kWindowUsage : kJobUsage, stdout);
    std::fputs(kOptions, stdout);
    std::fputs(kTrailer, stdout);
    return 0;
}
