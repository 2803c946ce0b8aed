#include <gtest/gtest.h>
#include "Handles.h"
#include "MainDialogPainter.h"

namespace {

// Paints into a 24-bit DIB of the given client size and reads pixels back.
class PaintedClient
{
public:
    PaintedClient(int width, int height, int dpi, HICON left = nullptr, HICON right = nullptr)
        : dc_(CreateCompatibleDC(nullptr))
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        previous_ = SelectObject(dc_.get(), bitmap_.get());
        // Something that is neither white nor grey, so untouched pixels show.
        unique_gdi<HBRUSH> red(CreateSolidBrush(RGB(255, 0, 0)));
        const RECT all{0, 0, width, height};
        FillRect(dc_.get(), &all, red.get());
        CMainDialogPainter::Paint(dc_.get(), width, height, DialogScale{dpi, dpi}, left, right);
    }
    ~PaintedClient() { SelectObject(dc_.get(), previous_); }

    COLORREF At(int x, int y) const { return GetPixel(dc_.get(), x, y); }

private:
    unique_hdc dc_;
    unique_gdi<HBITMAP> bitmap_;
    HGDIOBJ previous_ = nullptr;
};

}  // namespace

TEST(Painter, RuleAndBandSitOnTheScaledRowsAt96Dpi)
{
    PaintedClient client(579, 435, 96);
    EXPECT_EQ(CMainDialogPainter::White, client.At(10, 366));
    EXPECT_EQ(CMainDialogPainter::RuleColour, client.At(0, 367));
    EXPECT_EQ(CMainDialogPainter::RuleColour, client.At(578, 367));
    EXPECT_EQ(CMainDialogPainter::BandColour, client.At(0, 368));
    EXPECT_EQ(CMainDialogPainter::BandColour, client.At(578, 434));
    EXPECT_EQ(CMainDialogPainter::White, client.At(300, 100));
}

TEST(Painter, RuleAndBandScaleAt144Dpi)
{
    PaintedClient client(869, 653, 144);
    EXPECT_EQ(CMainDialogPainter::White, client.At(10, 550));
    EXPECT_EQ(CMainDialogPainter::RuleColour, client.At(10, 551));
    EXPECT_EQ(CMainDialogPainter::BandColour, client.At(10, 552));
    EXPECT_EQ(CMainDialogPainter::BandColour, client.At(867, 652));
}

TEST(Painter, BandIsClippedAtAClientAreaSmallerThanTheWindow)
{
    // The client area lacks the caption and frame: the band runs past its lower edge.
    PaintedClient client(573, 406, 96);
    EXPECT_EQ(CMainDialogPainter::RuleColour, client.At(5, 367));
    EXPECT_EQ(CMainDialogPainter::BandColour, client.At(5, 405));
    EXPECT_EQ(CMainDialogPainter::BandColour, client.At(572, 400));
}

TEST(Painter, IconsAreDrawnOnTopOnlyWhereGiven)
{
    HICON icon = LoadIconW(nullptr, IDI_ERROR);
    ASSERT_NE(nullptr, icon);
    PaintedClient none(579, 435, 96);
    PaintedClient left(579, 435, 96, icon, nullptr);
    PaintedClient both(579, 435, 96, icon, icon);

    auto differsIn = [](const PaintedClient& a, const PaintedClient& b, int x0, int y0) {
        int different = 0;
        for (int y = y0; y < y0 + 32; ++y)
            for (int x = x0; x < x0 + 32; ++x)
                different += a.At(x, y) != b.At(x, y);
        return different;
    };
    EXPECT_GT(differsIn(none, left, 160, 140), 50);
    EXPECT_EQ(0, differsIn(none, left, 380, 140));
    EXPECT_GT(differsIn(none, both, 380, 140), 50);
    for (int y = 140; y < 172; ++y)
        for (int x = 160; x < 192; ++x)
            EXPECT_EQ(CMainDialogPainter::White, none.At(x, y));
}
