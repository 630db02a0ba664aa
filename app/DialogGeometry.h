#pragma once
// Rectangles in a window's client coordinates, edges as the window system keeps them:
// right and bottom lie just outside the rectangle.

#include <compare>

struct Size {
    int width = 0;
    int height = 0;
    auto operator<=>(const Size&) const = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    auto operator<=>(const Rect&) const = default;

    static Rect FromSize(int left, int top, int width, int height) { return {left, top, left + width, top + height}; }
};
