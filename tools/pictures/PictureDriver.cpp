// Puts TarvixUtility or the settings host into the state a picture shows,
// prints the X window to photograph, and closes everything again once the
// photograph is taken (tools/pictures.sh).
//
//   PictureDriver SCENE DONE-FILE
//
// Prints "WINDOW <X window id>" when the window is painted, then waits until
// DONE-FILE exists. Scenes: those of Scenes.h. The programs show the language
// of the LANG the driver runs under.
#include <windows.h>
#include <cstdio>
#include <string>
#include "Scenes.h"

namespace {

constexpr DWORD doneTimeoutMs = 120000;

bool WaitForFile(const std::wstring& path)
{
    const ULONGLONG end = GetTickCount64() + doneTimeoutMs;
    while (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount64() >= end)
            return false;
        Sleep(50);
    }
    return true;
}

// Reports the window to photograph and waits until it was taken.
bool Photograph(HWND window, const std::wstring& doneFile)
{
    Sleep(500);  // the display shows what was painted a moment later
    // Wine's X11 driver names each top-level window's X window in this property.
    const auto x11 = reinterpret_cast<ULONG_PTR>(GetPropW(window, L"__wine_x11_whole_window"));
    if (x11 == 0) {
        std::fprintf(stderr, "PictureDriver: the window has no X window\n");
        return false;
    }
    std::printf("WINDOW 0x%llx\n", static_cast<unsigned long long>(x11));
    std::fflush(stdout);
    return WaitForFile(doneFile);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: PictureDriver SCENE DONE-FILE\n");
        return 2;
    }
    Scene scene(argv[1]);
    if (scene.Window() == nullptr) {
        std::fprintf(stderr, "PictureDriver: %s\n", scene.Error().c_str());
        return scene.Error() == "unknown scene" ? 2 : 1;
    }
    return Photograph(scene.Window(), argv[2]) ? 0 : 1;
}
