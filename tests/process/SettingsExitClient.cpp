// Connects through the program's settings access and ends without releasing
// it, leaving the connection to its exit clean-up; with "uninitialize" the
// program has already uninitialised COM by then.
#include <windows.h>
#include <cwchar>
#include "SettingsConnection.h"

int wmain(int argc, wchar_t** argv)
{
    (void)CoInitialize(nullptr);  // the program's thread is single-threaded
    if (GetSettingsConnection() == nullptr)
        return 2;
    if (argc > 1 && std::wcscmp(argv[1], L"uninitialize") == 0)
        CoUninitialize();
    return 0;
}
