#pragma once
// Dialog template 102: the main window's controls and where they start, in dialog
// units, and their conversion to pixels for the font the window really uses.

#include "app/DialogGeometry.h"

#include <map>

enum ControlId : int {
    IDC_UPLOAD_BUTTON = 1,  // the default button: "Upload to Facebook", "Cancel upload", "Close"
    IDC_LOGIN_BROWSER = 1000,
    IDC_LOG_LIST = 1001,
    IDC_ALBUM_EDIT = 1002,
    IDC_FILE_EDIT = 1003,
    IDC_BROWSE_BUTTON = 1004,
    IDC_ABOUT_BUTTON = 1005,
    IDC_ALBUM_LABEL = 1006,
    IDC_FILE_LABEL = 1007,
    IDC_DESCRIPTION_LABEL = 1008,
    IDC_DESCRIPTION_EDIT = 1009,
    IDC_COMMENTS_LABEL = 1010,
    IDC_COMMENTS_EDIT = 1011,
    IDC_URL_LABEL = 1012,
    IDC_URL_EDIT = 1013,
};

using ControlRects = std::map<int, Rect>;

// The template's size in dialog units.
inline constexpr Size TemplateSize{369, 305};

// Every control of the template (the login browser's placeholder 1000 included), in
// dialog units, in template order.
const ControlRects& TemplateControlRects();

// A font's dialog base units: its average character width and its height in pixels.
struct DialogBaseUnits {
    int x = 6;
    int y = 13;
};

// x * base.x / 4 and y * base.y / 8, rounded to the nearest pixel.
Rect DialogUnitsToPixels(const Rect& dialogUnits, DialogBaseUnits base);
Size DialogUnitsToPixels(Size dialogUnits, DialogBaseUnits base);
ControlRects TemplateControlRectsInPixels(DialogBaseUnits base);
