// The program entry of applications written on CWinApp; linked in through the
// framework_main object library.
#include <windows.h>
#include "PhaseTimeline.h"
#include "WinApp.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int show)
{
    StartPhaseTimeline();
    MarkPhase(FrameworkPhase::runtimeStart);
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return 1;  // a program without an application object has nothing to run
    const int status = app->RunProgram(instance, commandLine, show);
    MarkPhase(FrameworkPhase::exit);
    return status;
}
