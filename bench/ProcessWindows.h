#pragma once
// Programs of the build's bin folder started as processes, and their windows
// found and watched from outside, as the benchmarks and the picture driver
// need them.
#include <windows.h>
#include "BenchSupport.h"
#include "Handles.h"

// A program of this program's folder, started at construction. A process
// still running when the object goes is ended, so a run that went wrong
// leaves nothing behind.
class StartedProcess
{
public:
    StartedProcess(const wchar_t* program, const wchar_t* arguments);
    ~StartedProcess();
    StartedProcess(const StartedProcess&) = delete;
    StartedProcess& operator=(const StartedProcess&) = delete;

    bool Started() const { return process_.valid(); }
    // Why it could not be started (GetLastError of CreateProcessW).
    DWORD StartError() const { return startError_; }
    HANDLE Handle() const { return process_.get(); }
    DWORD Id() const { return id_; }
    // Since just before the process was created.
    double ElapsedMs() const { return clock_.ElapsedMs(); }
    bool Ended(DWORD waitMs) const;
    // STILL_ACTIVE while it runs.
    DWORD ExitCode() const;

private:
    unique_handle process_;
    DWORD id_ = 0;
    DWORD startError_ = ERROR_SUCCESS;
    Stopwatch clock_;
};

// A visible top-level window of process `pid` with exactly this caption, or null.
HWND FindVisibleWindow(DWORD pid, const wchar_t* caption);

// Neither the window nor any visible window inside it has anything left to paint.
bool Painted(HWND window);

// The process's peak working set so far; 0 when it cannot be read.
SIZE_T PeakWorkingSet(HANDLE process);
