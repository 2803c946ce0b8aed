#include "ProgramWindows.h"

StartedProgram::StartedProgram(const std::wstring& commandLine)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring line(path);
    line = line.substr(0, line.find_last_of(L'\\') + 1) + commandLine;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        process_.reset(process.hProcess);
        CloseHandle(process.hThread);
        id_ = process.dwProcessId;
    }
}

DWORD StartedProgram::WaitForExit(DWORD timeoutMs)
{
    DWORD code = STILL_ACTIVE;
    if (process_ && WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(process_.get(), &code);
    return code;
}

StartedProgram::~StartedProgram()
{
    // A test that failed half-way must not leave a copy running for the next one.
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 99);
        WaitForSingleObject(process_.get(), 5000);
    }
}

HWND WaitForDialog(DWORD pid, const std::wstring& title, int withControl, DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        HWND found = FindProcessWindow(pid, L"#32770", title, withControl);
        if (found != nullptr || GetTickCount64() >= end)
            return found;
        Sleep(50);
    }
}
