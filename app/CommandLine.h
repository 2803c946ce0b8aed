#pragma once
// The two start-up switches. Only the very beginning of the text after the
// program name counts, and case matters: "/miseban" runs silently and may
// carry a preset number from its tenth character on; "/Halt" asks a running
// copy to close.
#include <windows.h>

struct StartupSwitches
{
    bool silent = false;
    INT32 presetNumber = 0;
    bool halt = false;
};

StartupSwitches ParseCommandLine(const wchar_t* commandLine);
