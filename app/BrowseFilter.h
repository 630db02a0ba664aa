#pragma once
// The browse dialog's filter list. Its texts are the dialog's own; its patterns must
// match as the file dialogs of the program's home platform do, without regard to case,
// so that a camera's "IMG_0001.JPG" is listed under "*.jpg". GTK matches patterns
// case-sensitively, so each letter of a pattern becomes a bracket of both cases.

#include <string>
#include <string_view>

// "Image to upload (*.jpg)|*.jpg|GIF image (*.gif)|*.gif|PNG image (*.png)|*.png"
inline constexpr char16_t kBrowseFilter[] =
    u"Image to upload (*.jpg)|*.jpg|GIF image (*.gif)|*.gif|PNG image (*.png)|*.png";

// "description|pattern|..." with every ASCII letter of each pattern (not of the
// descriptions) written as "[xX]".
std::u16string CaseInsensitiveFilter(std::u16string_view filter);
