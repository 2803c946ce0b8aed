#include "ProcessWindows.h"
#include <psapi.h>
#include <string>

StartedProcess::StartedProcess(const wchar_t* program, const wchar_t* arguments)
{
    std::wstring line = L"\"" + ProgramFolder() + program + L"\"";
    if (arguments != nullptr && *arguments != L'\0')
        line += std::wstring(L" ") + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    clock_.Restart();
    if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        process_.reset(info.hProcess);
        CloseHandle(info.hThread);
        id_ = info.dwProcessId;
    } else {
        startError_ = GetLastError();
    }
}

StartedProcess::~StartedProcess()
{
    if (process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_.get(), 99);
        WaitForSingleObject(process_.get(), 15000);
    }
}

bool StartedProcess::Ended(DWORD waitMs) const
{
    return WaitForSingleObject(process_.get(), waitMs) == WAIT_OBJECT_0;
}

DWORD StartedProcess::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}

namespace {

struct WindowSearch
{
    DWORD pid;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->pid || !IsWindowVisible(window))
        return TRUE;
    wchar_t caption[256] = L"";
    GetWindowTextW(window, caption, ARRAYSIZE(caption));
    if (lstrcmpW(caption, search->caption) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

BOOL CALLBACK CheckChildPainted(HWND child, LPARAM unpainted)
{
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(unpainted) = true;
        return FALSE;
    }
    return TRUE;
}

} // namespace

HWND FindVisibleWindow(DWORD pid, const wchar_t* caption)
{
    WindowSearch search{pid, caption, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool Painted(HWND window)
{
    if (GetUpdateRect(window, nullptr, FALSE))
        return false;
    bool unpainted = false;
    EnumChildWindows(window, CheckChildPainted, reinterpret_cast<LPARAM>(&unpainted));
    return !unpainted;
}

SIZE_T PeakWorkingSet(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    return GetProcessMemoryInfo(process, &counters, sizeof(counters)) ? counters.PeakWorkingSetSize : 0;
}
