#include "app/gui/AppArtwork.h"

#include <wx/bitmap.h>
#include <wx/dcmemory.h>
#include <wx/image.h>

namespace {

wxIcon DrawIcon(int size)
{
    wxBitmap bitmap(size, size, 32);
    {
        wxMemoryDC dc(bitmap);
        dc.SetBackground(*wxWHITE_BRUSH);
        dc.Clear();
        dc.SetBrush(wxBrush(wxColour(36, 84, 160)));
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.DrawRoundedRectangle(0, 0, size, size, size / 6.0);
        // A camera: body, lens and flash.
        dc.SetBrush(*wxWHITE_BRUSH);
        dc.DrawRoundedRectangle(size / 8, size * 3 / 10, size * 3 / 4, size / 2, size / 12.0);
        dc.DrawRectangle(size * 5 / 8, size / 5, size / 6, size / 8);
        dc.SetBrush(wxBrush(wxColour(36, 84, 160)));
        dc.DrawCircle(size / 2, size * 11 / 20, size / 6);
    }
    wxIcon icon;
    icon.CopyFromBitmap(bitmap);
    return icon;
}

}  // namespace

wxIconBundle ApplicationIcons()
{
    wxIconBundle icons;
    icons.AddIcon(DrawIcon(16));
    icons.AddIcon(DrawIcon(32));
    icons.AddIcon(DrawIcon(48));
    return icons;
}

wxCursor BlankCursor()
{
    wxImage image(32, 32);
    image.InitAlpha();
    unsigned char* alpha = image.GetAlpha();
    std::fill(alpha, alpha + 32 * 32, 0);
    image.SetOption(wxIMAGE_OPTION_CUR_HOTSPOT_X, 16);
    image.SetOption(wxIMAGE_OPTION_CUR_HOTSPOT_Y, 9);
    return wxCursor(image);
}
