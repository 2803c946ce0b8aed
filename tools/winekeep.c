/* Stays alive so Wine keeps its desktop and services up between short test
   processes; wine-run.sh --stop ends it together with the wineserver. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    (void)instance; (void)previous; (void)commandLine; (void)show;
    Sleep(30 * 60 * 1000);
    return 0;
}
