#pragma once
// Helpers for tests against the registered stand-ins.
#include <windows.h>
#include <string>
#include <vector>
#include "Handles.h"
#include "SettingsService.h"

// Points the stand-in button device of this process (and of the processes it
// starts) at a registry key of its own, removed again at the end, so tests
// running in parallel never share device state.
class OwnDeviceState
{
public:
    OwnDeviceState();
    ~OwnDeviceState();
    OwnDeviceState(const OwnDeviceState&) = delete;
    OwnDeviceState& operator=(const OwnDeviceState&) = delete;

    const std::wstring& Key() const { return key_; }
    void SetNumber(const wchar_t* name, DWORD value) const;
    void SetText(const wchar_t* name, const std::wstring& value) const;
    void SetLines(const wchar_t* name, const std::vector<std::wstring>& lines) const;
    // A stored per-button value, or `fallback`.
    DWORD Number(LONG button, const wchar_t* name, DWORD fallback) const;

private:
    std::wstring key_;
};

// The stand-in settings service itself, started by COM as a local server.
com_ptr<ISettingsService> ConnectToSettingsStandIn();

// Runs a program of the tests' own folder ("TarvixUtility.exe /miseban") and
// answers its exit code; STILL_ACTIVE when it did not end in time, -1 when it
// could not start.
DWORD RunBesideTests(const std::wstring& commandLine, DWORD timeoutMs = 60000);

// Whether a process of that executable name runs in this prefix.
bool IsProcessRunning(const wchar_t* exeName);
// Waits (bounded) until no such process runs.
bool WaitUntilNotRunning(const wchar_t* exeName, DWORD timeoutMs);
