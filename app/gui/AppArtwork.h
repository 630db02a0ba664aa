#pragma once
// The program's icon (resource 128) and the blank pointer (resource 129: 32 by 32,
// every pixel transparent, hot spot at 16, 9), drawn rather than loaded.

#include <wx/cursor.h>
#include <wx/iconbndl.h>

wxIconBundle ApplicationIcons();
wxCursor BlankCursor();
