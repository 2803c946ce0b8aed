#pragma once
// The main dialog's geometry is given at 96 DPI and scaled where it is used.
#include <windows.h>

struct DialogScale
{
    int dpiX = 96;
    int dpiY = 96;

    int X(int value) const { return MulDiv(value, dpiX, 96); }
    int Y(int value) const { return MulDiv(value, dpiY, 96); }
    RECT Rect(int left, int top, int right, int bottom) const { return RECT{X(left), Y(top), X(right), Y(bottom)}; }
};
