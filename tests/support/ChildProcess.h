#pragma once
// Programs that the tests and the benchmarks start as processes: started with
// exactly the command line a case needs, waited for with a bound, their windows
// found from outside as a user sees them, and ended when the case is over.
#include <windows.h>
#include <string>
#include <vector>
#include "Handles.h"

class ChildProcess
{
public:
    // `commandLine` is the whole line, program included, as CreateProcessW takes it.
    // `flags` may hold CREATE_SUSPENDED; `folder` is the working folder (none: ours).
    // With `captureOutput`, standard output and error go to files read by Output() and Errors().
    explicit ChildProcess(const std::wstring& commandLine, DWORD flags = 0, const wchar_t* folder = nullptr,
                          bool captureOutput = false);
    // Standard output and error go to `output` and `errors`: inheritable handles the caller reads.
    ChildProcess(const std::wstring& commandLine, HANDLE output, HANDLE errors);
    ~ChildProcess();  // ends a program still running: a failed case leaves nothing behind
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return process_.valid(); }
    // GetLastError() of a start that failed, else 0.
    DWORD StartError() const { return startError_; }
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_.get(); }
    void Resume();
    // The exit code, or STILL_ACTIVE when the program did not end in time.
    DWORD WaitForExit(DWORD timeoutMs) const;
    std::string Output() const;
    std::string Errors() const;
    // Waits (bounded) for a visible top-level window of the program, as FindProcessWindow
    // picks it; null when none came in time or the program ended first.
    HWND WaitForWindow(const wchar_t* className, const std::wstring& caption = std::wstring(),
                       DWORD timeoutMs = 20000, int withControl = 0) const;

private:
    void Start(const std::wstring& commandLine, DWORD flags, const wchar_t* folder, HANDLE output, HANDLE errors);

    unique_handle outFile_;
    unique_handle errFile_;
    unique_handle process_;
    unique_handle thread_;
    DWORD id_ = 0;
    DWORD startError_ = 0;
};

struct ProcessResult
{
    bool started = false;
    bool finished = false;  // false: still running at the time-out (then it was ended)
    DWORD exitCode = 0;
    std::string out;  // standard output, as bytes (the host writes UTF-8)
    std::string err;
};

// Runs `commandLine` and waits until it has ended and its output is closed, at
// most `timeoutMs` in all. When a process it started still holds the output
// open at the limit, `err` ends with a line that says so.
ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs = 30000);

// The window class of dialogs and message boxes.
inline constexpr wchar_t dialogClass[] = L"#32770";

// A visible top-level window of process `pid` with class `className` (null: any
// class), with exactly `caption` unless that is empty, and holding control
// `withControl` unless that is 0; null when there is none.
HWND FindProcessWindow(DWORD pid, const wchar_t* className, const std::wstring& caption = std::wstring(),
                       int withControl = 0);
// A window's caption or text (up to 1023 characters).
std::wstring WindowText(HWND window);
// Whether a window handles a message within the time. It waits for the handling
// itself: Wine's "hung" test (no message fetched for 5 s) would also call a
// program hung that is only slow on a busy machine.
bool Answers(HWND window, DWORD timeoutMs = 30000);

std::wstring Quoted(const std::wstring& path);
// "<bin>\program" quoted, then the arguments after one blank (none without arguments).
std::wstring ProgramLine(const wchar_t* program, const std::wstring& arguments = std::wstring());

// An exit code as the test reports it: "0x00000003", or "0xC0000005 (a crash)",
// or "still running (a hang)".
std::string DescribeExit(DWORD code);
// Codes with which Windows ends a program that raised an exception it did not handle.
bool IsCrashCode(DWORD code);

// Handles (SYNCHRONIZE) of every running process with that executable name.
std::vector<unique_handle> OpenProcesses(const wchar_t* exeName);
// Whether a process of that executable name runs in this prefix.
bool IsProcessRunning(const wchar_t* exeName);
// Waits (bounded) until no such process runs, on the processes' own exit.
bool WaitUntilNotRunning(const wchar_t* exeName, DWORD timeoutMs);

// Wine's crash dialog keeps a crashed program open until someone answers it;
// without it the crash ends the program with its exception code at once.
class NoCrashDialog
{
public:
    NoCrashDialog();
    ~NoCrashDialog();
    NoCrashDialog(const NoCrashDialog&) = delete;
    NoCrashDialog& operator=(const NoCrashDialog&) = delete;

private:
    bool hadValue_ = false;
    DWORD oldValue_ = 0;
};
