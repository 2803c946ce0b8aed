#pragma once
// What an installer or a registration script left on the machine, and running
// a program together with every process it starts.
#include <windows.h>
#include <string>

// A string value in one registry view (KEY_WOW64_32KEY or KEY_WOW64_64KEY); an
// empty name is the key's default value. False when it is not there.
bool ReadRegString(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view, std::wstring& value);
// The value as text, or "<missing>" when it is not there (readable in a failed expectation).
std::wstring RegStringOrMissing(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view);
bool RegValueExists(HKEY root, const std::wstring& path, const wchar_t* name, REGSAM view);

// A shell folder (CSIDL_…) without a trailing backslash.
std::wstring ShellFolder(int csidl);
// The program a shell link starts; empty when it cannot be read.
std::wstring ShortcutTarget(const std::wstring& link);

// Wine starts its desktop process for the first program of a session that needs
// a desktop, and that process stays. Started from a program whose output the test
// reads through a pipe, it would inherit the pipe and the read would never end;
// so the test program makes Wine start it first.
void StartDesktopProcess();

struct TreeRun
{
    bool started = false;
    bool finished = false;  // false: something still ran at the time-out (then all were ended)
    DWORD exitCode = 0;     // of the program started, not of its children
};

// Runs a program and waits until it and every process it started have ended:
// an NSIS uninstaller hands over to a copy of itself and returns at once.
TreeRun RunProcessTree(const std::wstring& commandLine, DWORD timeoutMs = 60000);
