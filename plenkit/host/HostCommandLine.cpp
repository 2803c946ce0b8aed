#include "HostCommandLine.h"
#include <cwchar>

HostCommandLine ParseHostCommandLine(int argc, const wchar_t* const* argv)
{
    HostCommandLine line;
    for (int i = 1; i < argc; ++i) {
        const CString arg(argv[i]);
        if (arg.CompareNoCase(L"/quiet") == 0) {
            line.quiet = true;
        } else if (arg.CompareNoCase(L"/list") == 0) {
            line.list = true;
        } else if (arg.Left(6).CompareNoCase(L"/page:") == 0) {
            const CString number = arg.Mid(6);
            wchar_t* end = nullptr;
            const unsigned long value = std::wcstoul(number, &end, 10);
            if (number.IsEmpty() || end == nullptr || *end != L'\0') {
                line.error = L"The switch \"" + arg + L"\" needs a page number, e.g. /page:1.";
                return line;
            }
            line.initialPage = value;
        } else if (arg.GetLength() > 1 && arg[0] == L'/' && arg.Find(L'\\') < 0 && arg.Find(L'.') < 0) {
            line.error = L"Unknown switch \"" + arg +
                         L"\". Use: PlenkitHost [/quiet] [/list] [/page:N] [plug-in.dll ...]";
            return line;
        } else {
            line.plugins.push_back(arg);
        }
    }
    return line;
}
