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

namespace {

struct DialogSearch
{
    DWORD pid;
    const std::wstring* title;
    int withControl;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<DialogSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[16] = L"";
    GetClassNameW(window, className, ARRAYSIZE(className));
    if (owner != search->pid || lstrcmpW(className, L"#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    if (WindowText(window) != *search->title)
        return TRUE;
    if (search->withControl != 0 && GetDlgItem(window, search->withControl) == nullptr)
        return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

HWND WaitForDialog(DWORD pid, const std::wstring& title, int withControl, DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        DialogSearch search{pid, &title, withControl, nullptr};
        EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr || GetTickCount64() >= end)
            return search.found;
        Sleep(50);
    }
}

std::wstring WindowText(HWND window)
{
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, ARRAYSIZE(text));
    return text;
}
