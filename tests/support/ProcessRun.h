#pragma once
// Starts a program of the build as its own process and collects what it wrote.
#include <windows.h>
#include <string>

struct ProcessResult
{
    bool started = false;
    bool finished = false;  // false: still running at the time-out (then it was ended)
    DWORD exitCode = 0;
    std::string out;        // standard output, as bytes (the host writes UTF-8)
    std::string err;
};

// Runs `commandLine` and waits until it has ended and its output is closed, at
// most `timeoutMs` in all. When a process it started still holds the output
// open at the limit, `err` ends with a line that says so.
ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs = 30000);

// A process that runs while the test drives its windows; ended on destruction if still running.
class RunningProcess
{
public:
    explicit RunningProcess(const std::wstring& commandLine);
    ~RunningProcess();
    RunningProcess(const RunningProcess&) = delete;
    RunningProcess& operator=(const RunningProcess&) = delete;

    bool started() const noexcept { return process_ != nullptr; }
    DWORD id() const noexcept { return id_; }
    // The first visible top-level window of the process with this class, waiting for it.
    HWND WaitForWindow(const wchar_t* className, DWORD timeoutMs = 20000) const;
    // Waits for the end; answers the exit code, or STILL_ACTIVE.
    DWORD Wait(DWORD timeoutMs);

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};
