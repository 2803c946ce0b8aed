#include "CallLog.h"
#include <windows.h>
#include <cstdio>

namespace sim {

namespace {

// Read once per process; the stand-ins' callers may run on several threads,
// and each line is written with one append.
const wchar_t* LogPath()
{
    static wchar_t path[MAX_PATH] = L"";
    static const bool read = GetEnvironmentVariableW(L"SIM_CALL_LOG", path, MAX_PATH) < MAX_PATH;
    return read ? path : L"";
}

}  // namespace

void LogCall(const wchar_t* what, const wchar_t* detail)
{
    const wchar_t* path = LogPath();
    if (*path == L'\0')
        return;
    char line[256];
    const int length = std::snprintf(line, sizeof(line), "%lu %ls %ls\r\n", GetCurrentProcessId(), what, detail);
    if (length <= 0 || length >= static_cast<int>(sizeof(line)))
        return;
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    (void)WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
    CloseHandle(file);
}

}  // namespace sim
