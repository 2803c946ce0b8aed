/* Stays alive so Wine keeps its desktop and services up between short test
   processes; wine-run.sh --stop ends it together with the wineserver.

   It holds the desktop itself. Wine closes a desktop about a second after the
   last program using it has gone, and the next program that needs one starts
   Wine's desktop process again and hands it its own standard handles: under
   CTest those are the test's output pipe, which CTest then waits on for as
   long as the desktop process runs, the test long finished.

     winekeep.exe          starts the desktop (on its own handles, /dev/null in
                           wine-run.sh) and holds it, for at most 30 minutes
     winekeep.exe --ready  waits until a keeper holds the desktop, at most 60 s;
                           exit status 0 when it does, 1 when it did not */
#include <windows.h>
#include <string.h>

static const wchar_t readyEventName[] = L"WineRunKeeperHoldsTheDesktop";

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    HANDLE ready = CreateEventW(NULL, TRUE, FALSE, readyEventName);
    (void)instance; (void)previous; (void)show;
    if (ready == NULL)
        return 1;
    if (strstr(commandLine, "--ready") != NULL)
        return WaitForSingleObject(ready, 60 * 1000) == WAIT_OBJECT_0 ? 0 : 1;

    if (GetDesktopWindow() == NULL)
        return 1;
    SetEvent(ready);
    Sleep(30 * 60 * 1000);
    return 0;
}
