#pragma once
// Programs started by the robustness tests with exactly the command line a
// case needs, waited for with a bound, and what their end says about them.
#include <windows.h>
#include <string>
#include <vector>
#include "Handles.h"
#include "support/ProcessWindows.h"

class ChildProcess
{
public:
    // `commandLine` is the whole line, program included, as CreateProcessW takes it.
    // `flags` may hold CREATE_SUSPENDED; `folder` is the working folder (none: ours).
    // With `captureOutput`, standard output and error go to files read by Output() and Errors().
    explicit ChildProcess(const std::wstring& commandLine, DWORD flags = 0, const wchar_t* folder = nullptr,
                          bool captureOutput = false);
    ~ChildProcess();  // ends a program still running: a failed case leaves nothing behind
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return process_.valid(); }
    // GetLastError() of a start that failed, else 0.
    DWORD StartError() const { return startError_; }
    DWORD Id() const { return id_; }
    void Resume();
    // The exit code, or STILL_ACTIVE when the program did not end in time.
    DWORD WaitForExit(DWORD timeoutMs);
    std::string Output() const;
    std::string Errors() const;

private:
    unique_handle outFile_;
    unique_handle errFile_;
    unique_handle process_;
    unique_handle thread_;
    DWORD id_ = 0;
    DWORD startError_ = 0;
};

// "<bin>\program" quoted, then the arguments after one blank (none without arguments).
std::wstring ProgramLine(const wchar_t* program, const std::wstring& arguments = std::wstring());
std::wstring BinPath(const wchar_t* file);

// A whole file's bytes (empty when it cannot be read), and a file replaced by `bytes`.
std::string FileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

// An exit code as the test reports it: "0x00000003", or "0xC0000005 (a crash)",
// or "still running (a hang)".
std::string DescribeExit(DWORD code);
// Codes with which Windows ends a program that raised an exception it did not handle.
bool IsCrashCode(DWORD code);

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

// Waits (bounded) for that window, or for the process to end; null when neither came.
HWND WaitForProcessWindow(ChildProcess& process, const wchar_t* className, const std::wstring& caption,
                          DWORD timeoutMs);
// Whether a window handles a message within the time. It waits for the handling
// itself: Wine's "hung" test (no message fetched for 5 s) would also call a
// program hung that is only slow on a busy machine.
bool Answers(HWND window, DWORD timeoutMs = 30000);

// Handles (SYNCHRONIZE) of every running process with that executable name.
std::vector<unique_handle> OpenProcesses(const wchar_t* exeName);

