#include "TestPaths.h"
#include <windows.h>

std::wstring BinFile(const wchar_t* name)
{
    wchar_t path[MAX_PATH * 2];
    const DWORD length = GetModuleFileNameW(nullptr, path, sizeof(path) / sizeof(path[0]));
    const std::wstring program(path, length);
    return program.substr(0, program.find_last_of(L"\\/") + 1) + name;
}
