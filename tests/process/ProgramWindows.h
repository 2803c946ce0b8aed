#pragma once
// Starting TarvixUtility as a process and finding its windows from a test.
#include <windows.h>
#include <string>
#include "Handles.h"
#include "support/ProcessWindows.h"

// A program of the tests' own folder, started without waiting.
class StartedProgram
{
public:
    explicit StartedProgram(const std::wstring& commandLine);
    bool Started() const { return process_.valid(); }
    DWORD Id() const { return id_; }
    // The exit code, or STILL_ACTIVE when it did not end in time.
    DWORD WaitForExit(DWORD timeoutMs);
    ~StartedProgram();

private:
    unique_handle process_;
    DWORD id_ = 0;
};

// The top-level dialog window of process `pid` with caption `title`; when
// `withControl` is non-zero only one that has that control. Waits up to
// `timeoutMs` for it to be shown; it stays until the test acts, so the look
// every 50 ms cannot miss it.
HWND WaitForDialog(DWORD pid, const std::wstring& title, int withControl, DWORD timeoutMs);
