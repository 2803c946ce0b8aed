#include "TestPaths.h"
#include <windows.h>

std::wstring BinFolder()
{
    wchar_t path[MAX_PATH * 2];
    const DWORD length = GetModuleFileNameW(nullptr, path, sizeof(path) / sizeof(path[0]));
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::wstring BinFile(const wchar_t* name) { return BinFolder() + name; }
