#include "CommandLine.h"
#include <cstdlib>
#include <cwchar>

StartupSwitches ParseCommandLine(const wchar_t* commandLine)
{
    StartupSwitches switches;
    if (commandLine == nullptr)
        return switches;
    if (std::wcsncmp(commandLine, L"/miseban", 8) == 0) {
        switches.silent = true;
        // The character after the switch is skipped, whatever it is.
        if (std::wcslen(commandLine) >= 10)
            switches.presetNumber = _wtoi(commandLine + 9);
    } else if (std::wcsncmp(commandLine, L"/Halt", 5) == 0) {
        switches.halt = true;
    }
    return switches;
}
