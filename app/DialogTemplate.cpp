#include "app/DialogTemplate.h"

namespace {

// MulDiv's rounding: half away from zero.
int ScaleRounded(int value, int numerator, int denominator)
{
    const long long product = static_cast<long long>(value) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

}  // namespace

const ControlRects& TemplateControlRects()
{
    // Labels on the left, edits reaching the right margin of 7 units, the log below the
    // form and the two buttons in the bottom corners.
    static const ControlRects rects = {
        {IDC_ALBUM_LABEL, Rect::FromSize(7, 9, 60, 8)},        {IDC_ALBUM_EDIT, Rect::FromSize(72, 7, 290, 14)},
        {IDC_DESCRIPTION_LABEL, Rect::FromSize(7, 27, 60, 8)}, {IDC_DESCRIPTION_EDIT, Rect::FromSize(72, 25, 290, 14)},
        {IDC_FILE_LABEL, Rect::FromSize(7, 45, 60, 8)},        {IDC_FILE_EDIT, Rect::FromSize(72, 43, 265, 14)},
        {IDC_BROWSE_BUTTON, Rect::FromSize(341, 43, 21, 14)},  {IDC_URL_LABEL, Rect::FromSize(7, 63, 60, 8)},
        {IDC_URL_EDIT, Rect::FromSize(72, 61, 290, 14)},       {IDC_COMMENTS_LABEL, Rect::FromSize(7, 81, 60, 8)},
        {IDC_COMMENTS_EDIT, Rect::FromSize(72, 79, 290, 42)},  {IDC_LOG_LIST, Rect::FromSize(7, 128, 355, 148)},
        {IDC_LOGIN_BROWSER, Rect::FromSize(0, 0, 369, 305)},   {IDC_ABOUT_BUTTON, Rect::FromSize(7, 284, 50, 14)},
        {IDC_UPLOAD_BUTTON, Rect::FromSize(272, 284, 90, 14)},
    };
    return rects;
}

Rect DialogUnitsToPixels(const Rect& dialogUnits, DialogBaseUnits base)
{
    return {ScaleRounded(dialogUnits.left, base.x, 4), ScaleRounded(dialogUnits.top, base.y, 8),
            ScaleRounded(dialogUnits.right, base.x, 4), ScaleRounded(dialogUnits.bottom, base.y, 8)};
}

Size DialogUnitsToPixels(Size dialogUnits, DialogBaseUnits base)
{
    return {ScaleRounded(dialogUnits.width, base.x, 4), ScaleRounded(dialogUnits.height, base.y, 8)};
}

ControlRects TemplateControlRectsInPixels(DialogBaseUnits base)
{
    ControlRects pixels;
    for (const auto& [id, rect] : TemplateControlRects())
        pixels.emplace(id, DialogUnitsToPixels(rect, base));
    return pixels;
}
