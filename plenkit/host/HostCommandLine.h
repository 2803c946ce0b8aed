#pragma once
// PlenkitHost [/quiet] [/list] [/page:N] [plug-in.dll ...]
//   /quiet    no message boxes; problems go to standard error only
//   /list     print every page (supported or not) to standard output and end
//   /page:N   show the N-th shown page first (0 = the first)
// Without plug-in paths the host takes the plug-ins registered for it.
#include <vector>
#include "CString.h"

struct HostCommandLine
{
    bool quiet = false;
    bool list = false;
    size_t initialPage = 0;
    std::vector<CString> plugins;
    CString error;  // set when the line cannot be understood
};

HostCommandLine ParseHostCommandLine(int argc, const wchar_t* const* argv);
