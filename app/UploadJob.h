#pragma once
// The job one run carries out, as the command line (and, in interactive mode, the
// form) gives it.

#include <cstdint>
#include <string>

struct UploadJob {
    std::u16string albumName;       // "-a"; "me" is the user's default photos album
    std::u16string filePath;        // "-f"
    std::u16string description;     // "-d"; given to an album that has to be created
    std::u16string comments;        // "-b"; sent with the upload or the post
    std::u16string linkUrl;         // "-U"; posted instead of uploading a file
    std::u16string userEmail;       // "-u"
    std::u16string userPassword;    // "-p"
    std::int32_t windowX = 0;       // "-x": the login browser's box in unattended mode
    std::int32_t windowY = 0;       // "-y"
    std::int32_t windowWidth = 0;   // "-w"
    std::int32_t windowHeight = 0;  // "-h"
};
