// The program entry of applications written on CWinApp; linked in through the
// framework_main object library.
#include <windows.h>
#include "PhaseTimeline.h"
#include "WinApp.h"

// The parameters carry the names of the system header's declaration.
int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int nShowCmd)
{
    StartPhaseTimeline();
    MarkPhase(FrameworkPhase::runtimeStart);
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return 1;  // a program without an application object has nothing to run
    const int status = app->RunProgram(hInstance, lpCmdLine, nShowCmd);
    MarkPhase(FrameworkPhase::exit);
    return status;
}
