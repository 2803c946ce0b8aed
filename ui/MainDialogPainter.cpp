#include "MainDialogPainter.h"
#include "Guards.h"
#include "Handles.h"

void CMainDialogPainter::Paint(HDC target, int width, int height, const DialogScale& scale, HICON leftIcon,
                               HICON rightIcon)
{
    unique_hdc memory(CreateCompatibleDC(target));
    unique_gdi<HBITMAP> bitmap(CreateCompatibleBitmap(target, width, height));
    if (!memory || !bitmap)
        return;
    {
        selected_object selectedBitmap(memory.get(), bitmap.get());
        BITMAP info{};
        GetObjectW(bitmap.get(), sizeof(info), &info);
        const int bitmapWidth = info.bmWidth;
        const int bitmapHeight = info.bmHeight;

        unique_gdi<HBRUSH> white(CreateSolidBrush(White));
        const RECT all{0, 0, bitmapWidth, bitmapHeight};
        FillRect(memory.get(), &all, white.get());
        SetBkMode(memory.get(), TRANSPARENT);

        unique_gdi<HPEN> rulePen(CreatePen(PS_SOLID, 1, RuleColour));
        {
            selected_object selectedPen(memory.get(), rulePen.get());
            MoveToEx(memory.get(), 0, scale.Y(367), nullptr);
            LineTo(memory.get(), scale.X(579), scale.Y(367));
        }

        unique_gdi<HBRUSH> band(CreateSolidBrush(BandColour));
        const RECT bandRect = scale.Rect(0, 368, 579, 435);
        FillRect(memory.get(), &bandRect, band.get());

        BitBlt(target, 0, 0, bitmapWidth, bitmapHeight, memory.get(), 0, 0, SRCCOPY);
    }
    if (leftIcon != nullptr)
        DrawIcon(target, scale.X(160), scale.Y(140), leftIcon);
    if (rightIcon != nullptr)
        DrawIcon(target, scale.X(380), scale.Y(140), rightIcon);
}
