#pragma once
// The main dialog's own background: white, a grey rule above a light grey
// button band, and the assigned programs' icons on top.
#include <windows.h>
#include "DialogScale.h"

class CMainDialogPainter
{
public:
    static constexpr COLORREF White = RGB(255, 255, 255);
    static constexpr COLORREF RuleColour = RGB(216, 216, 216);
    static constexpr COLORREF BandColour = RGB(240, 240, 240);

    // Paints a client area of width x height into `target`. The background is
    // drawn off-screen and copied in one operation so it does not flicker; the
    // icons (either may be null) are drawn directly on top of it.
    static void Paint(HDC target, int width, int height, const DialogScale& scale, HICON leftIcon, HICON rightIcon);
};
