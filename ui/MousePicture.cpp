#include "MousePicture.h"
#include <algorithm>
#include <cmath>
#include <vector>
#include "Guards.h"
#include "Handles.h"
#include "tarvix/resource.h"

namespace {

struct Artwork
{
    int dpi;
    int id;
};

// Smallest first.
const Artwork artworks[] = {
    {96, IDB_MOUSE_PICTURE},
    {120, IDB_MOUSE_PICTURE_120},
    {144, IDB_MOUSE_PICTURE_144},
    {192, IDB_MOUSE_PICTURE_192},
};

SIZE SizeOf(HBITMAP bitmap)
{
    BITMAP info{};
    if (bitmap == nullptr || GetObjectW(bitmap, sizeof(info), &info) == 0)
        return SIZE{0, 0};
    return SIZE{info.bmWidth, std::abs(info.bmHeight)};
}

BITMAPINFO TopDown32(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

// What of each source pixel one target pixel covers along one axis, as a
// share of the target pixel.
struct Cover
{
    int first;
    std::vector<double> shares;
};

std::vector<Cover> Covers(int source, int target)
{
    std::vector<Cover> covers(static_cast<size_t>(target));
    const double ratio = static_cast<double>(source) / target;
    for (int i = 0; i < target; ++i) {
        const double from = i * ratio, to = (i + 1) * ratio;
        Cover& cover = covers[static_cast<size_t>(i)];
        cover.first = std::min(source - 1, static_cast<int>(std::floor(from)));
        const int last = std::max(cover.first, std::min(source - 1, static_cast<int>(std::ceil(to)) - 1));
        for (int j = cover.first; j <= last; ++j)
            cover.shares.push_back(std::max(0.0, std::min(to, j + 1.0) - std::max(from, static_cast<double>(j))) /
                                   ratio);
    }
    return covers;
}

}  // namespace

HBITMAP CMousePicture::Load(HINSTANCE module, const DialogScale& scale)
{
    const int width = scale.X(Width), height = scale.Y(Height);
    auto load = [module](const Artwork& artwork) {
        return static_cast<HBITMAP>(
            LoadImageW(module, MAKEINTRESOURCEW(artwork.id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    };
    const Artwork* nearest = &artworks[ARRAYSIZE(artworks) - 1];
    for (const Artwork& artwork : artworks)
        if (artwork.dpi >= std::max(scale.dpiX, scale.dpiY)) {
            nearest = &artwork;
            break;
        }
    unique_gdi<HBITMAP> picture(load(*nearest));
    const SIZE size = SizeOf(picture.get());
    if (size.cx == width && size.cy == height)
        return picture.release();
    // Fewer pixels are better made from more: a larger drawing scaled down stays sharp.
    return Scale(picture.get(), width, height);
}

HBITMAP CMousePicture::Scale(HBITMAP source, int width, int height)
{
    const SIZE size = SizeOf(source);
    if (width <= 0 || height <= 0 || size.cx <= 0 || size.cy <= 0)
        return nullptr;
    const window_dc screen(nullptr);
    if (!screen)
        return nullptr;
    std::vector<RGBQUAD> pixels(static_cast<size_t>(size.cx) * size.cy);
    BITMAPINFO sourceInfo = TopDown32(size.cx, size.cy);
    if (GetDIBits(screen.get(), source, 0, static_cast<UINT>(size.cy), pixels.data(), &sourceInfo, DIB_RGB_COLORS) !=
        size.cy)
        return nullptr;

    // Across first, then down; three channels each.
    const std::vector<Cover> across = Covers(size.cx, width), down = Covers(size.cy, height);
    std::vector<double> rows(static_cast<size_t>(width) * size.cy * 3, 0.0);
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < width; ++x) {
            const Cover& cover = across[static_cast<size_t>(x)];
            double* out = &rows[(static_cast<size_t>(y) * width + x) * 3];
            for (size_t k = 0; k < cover.shares.size(); ++k) {
                const RGBQUAD& in = pixels[static_cast<size_t>(y) * size.cx + cover.first + static_cast<int>(k)];
                out[0] += cover.shares[k] * in.rgbBlue;
                out[1] += cover.shares[k] * in.rgbGreen;
                out[2] += cover.shares[k] * in.rgbRed;
            }
        }
    BITMAPINFO targetInfo = TopDown32(width, height);
    void* bits = nullptr;
    unique_gdi<HBITMAP> target(CreateDIBSection(screen.get(), &targetInfo, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!target || bits == nullptr)
        return nullptr;
    auto* out = static_cast<RGBQUAD*>(bits);
    auto channel = [](double value) { return static_cast<BYTE>(std::min(255.0, std::max(0.0, value + 0.5))); };
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double sum[3] = {0, 0, 0};
            const Cover& cover = down[static_cast<size_t>(y)];
            for (size_t k = 0; k < cover.shares.size(); ++k) {
                const double* in = &rows[(static_cast<size_t>(cover.first + static_cast<int>(k)) * width + x) * 3];
                for (int c = 0; c < 3; ++c)
                    sum[c] += cover.shares[k] * in[c];
            }
            out[static_cast<size_t>(y) * width + x] = RGBQUAD{channel(sum[0]), channel(sum[1]), channel(sum[2]), 0};
        }
    GdiFlush();
    return target.release();
}
