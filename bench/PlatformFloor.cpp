// Not a baseline but a yardstick: only the system calls a silent run cannot
// do without before any of its own work (the common controls registered, COM
// for the thread, the screen's resolution read), then the end. What the
// product costs beyond this program is its own.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = 0xFF;
    InitCommonControlsEx(&controls);
    (void)CoInitialize(nullptr);
    if (HDC screen = GetDC(nullptr)) {
        (void)GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
    }
    CoUninitialize();
    return 0;
}
