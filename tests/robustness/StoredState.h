#pragma once
// What TarvixUtility must never lose: the assignments the button device keeps
// and the values committed to the settings service. A test seeds both, lets
// the program do its worst, and compares.
#include <windows.h>
#include <array>
#include <string>
#include "ComTestSupport.h"
#include "StandIns.h"

// One button's stored state in the stand-in device.
struct StoredButton
{
    DWORD assignedFunction = 0;
    std::wstring applicationPath;
    std::wstring applicationArguments;
    std::wstring applicationFolder;
    DWORD keyCombination = 0;

    bool operator==(const StoredButton& other) const;
};

std::string Describe(const StoredButton& button);

// Button 1 on its own key combination and button 2 on its own program, both
// with launch data and a key combination behind them: every kind of stored
// data, so that a loss of any shows.
StoredButton SeedButton(LONG button);

void WriteButton(const OwnDeviceState& device, LONG button, const StoredButton& state);
StoredButton ReadButton(const OwnDeviceState& device, LONG button);

// The program's four values, indices 1 to 4; -1 stands for "none stored".
using SettingsValues = std::array<INT32, 4>;
std::string Describe(const SettingsValues& values);

// The program's settings as the test found them, put back (and committed) at
// the end. It keeps its connection, and with it the server, between calls, so
// that each program the test starts finds the server running; Disconnect lets
// the server end (to start it again with another configuration).
class StoredSettings
{
public:
    StoredSettings();
    ~StoredSettings();
    StoredSettings(const StoredSettings&) = delete;
    StoredSettings& operator=(const StoredSettings&) = delete;

    // Sets and commits the four values; false when the service refused.
    bool Commit(const SettingsValues& values);
    // What the service's file holds (a Reload drops anything not committed).
    SettingsValues Committed();
    void Disconnect() { service_.reset(); }

private:
    ISettingsService* Service();

    ComApartment apartment_;
    com_ptr<ISettingsService> service_;
    SettingsValues found_{};
    bool read_ = false;
};

// Makes the settings server of the prefix fail the given methods (or the
// creation of "SettingsService"/"SettingsCompanion"). The server reads this
// when it starts, so both ends wait until no server runs.
class FailingSettingsServer
{
public:
    explicit FailingSettingsServer(const wchar_t* methods);
    ~FailingSettingsServer();
    FailingSettingsServer(const FailingSettingsServer&) = delete;
    FailingSettingsServer& operator=(const FailingSettingsServer&) = delete;

    bool Ready() const { return ready_; }

private:
    bool ready_ = false;
};

// Makes the running settings server end at once, as a crash would (the
// stand-in's crash event), and waits until it and any other server process of
// the prefix have ended; false when none ran or one still runs after the limit.
bool CrashSettingsServer(DWORD timeoutMs = 30000);

// Waits until the settings server of the prefix has ended.
bool SettingsServerGone(DWORD timeoutMs = 45000);
