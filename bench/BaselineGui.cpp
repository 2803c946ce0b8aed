// The floor for a silent run: a Windows GUI program that starts and ends
// without doing anything, built with the product's flags and runtime.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    return 0;
}
