/* Stays alive so Wine keeps its desktop and services up between short test
   processes; wine-run.sh --stop ends it together with the wineserver.

   It is also the desktop's first and lasting user. Wine starts the desktop
   process (explorer.exe /desktop) from the first process that needs it, which
   hands it its standard output and error, and ends it about a second after
   its last user. Started by a test, it would hold that test's output pipe
   open, so CTest would wait for the test until the desktop next fell idle
   (seen: 20 to 100 s, near the time-out). Started from here it gets the
   keeper's /dev/null, and it stays up as long as the keeper does.

   "winekeep --ready" waits (at most 60 s) until the running keeper has the
   desktop up; wine-run.sh runs it after starting a keeper, before any test. */
#include <windows.h>
#include <string.h>

static const wchar_t readyEvent[] = L"WineRunKeeper-DesktopReady";

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    HANDLE ready = CreateEventW(NULL, TRUE, FALSE, readyEvent);
    (void)instance; (void)previous; (void)show;
    if (ready == NULL)
        return 2;
    if (strstr(commandLine, "--ready") != NULL)
        return WaitForSingleObject(ready, 60000) == WAIT_OBJECT_0 ? 0 : 1;
    (void)GetDesktopWindow();  /* starts the desktop process if it is not up */
    SetEvent(ready);
    Sleep(30 * 60 * 1000);
    return 0;
}
