#pragma once
// Helpers for tests against the registered stand-ins.
#include <windows.h>
#include <string>
#include <vector>
#include "Handles.h"
#include "SettingsService.h"
#include "support/ChildProcess.h"  // IsProcessRunning, WaitUntilNotRunning

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
    std::wstring Text(LONG button, const wchar_t* name, const std::wstring& fallback) const;

private:
    std::wstring key_;
};

// The stand-in settings service itself, started by COM as a local server. An
// activation that reaches a server while it ends is refused; it is made again
// once that server's process is gone. While the object is held the server stays.
com_ptr<ISettingsService> ConnectToSettingsStandIn();

// The settings servers started while this lives have this idle time; the
// previous configuration comes back afterwards. A server reads it as it starts.
class ServerIdleTime
{
public:
    explicit ServerIdleTime(DWORD seconds);
    ~ServerIdleTime();
    ServerIdleTime(const ServerIdleTime&) = delete;
    ServerIdleTime& operator=(const ServerIdleTime&) = delete;

private:
    static void Write(DWORD seconds);
    DWORD previous_ = 0;
    bool had_ = false;
};

// Runs a program of the tests' own folder ("TarvixUtility.exe /miseban") and
// answers its exit code; STILL_ACTIVE when it did not end in time (it is then
// ended), -1 when it could not start.
DWORD RunBesideTests(const std::wstring& commandLine, DWORD timeoutMs = 60000);
