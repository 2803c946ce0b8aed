#pragma once
// The mouse picture at a dialog's scale: 161 by 200 pixels at 96 DPI, scaled
// like every other measure of the dialog.
#include <windows.h>
#include "DialogScale.h"

class CMousePicture
{
public:
    static constexpr int Width = 161;
    static constexpr int Height = 200;

    // The picture drawn for the scale's resolution where the program has one;
    // otherwise the one drawn for the nearest larger resolution (the largest
    // for a larger one), scaled smoothly to the size. Null when none loads.
    static HBITMAP Load(HINSTANCE module, const DialogScale& scale);
    // A copy of `source` of width x height pixels, each the average of the
    // part of the source it covers. Null for an empty size or an unreadable source.
    static HBITMAP Scale(HBITMAP source, int width, int height);
};
