#pragma once
// The process-wide parts of the settings server: its configuration, the one
// store all objects share, and its lifetime (objects and locks, idle time).
#include <windows.h>
#include <map>
#include <string>
#include "Registry.h"
#include "SettingsStore.h"

namespace sim {

struct ServiceConfig
{
    static constexpr DWORD DefaultIdleTimeoutSeconds = 30;

    DWORD idleTimeoutSeconds = DefaultIdleTimeoutSeconds;
    FailureList failures;
    std::wstring stateFile;

    // HKCU\Software\StandIns\SimSettingsService: IdleTimeoutSeconds, FailMethod, StateFile.
    static ServiceConfig Read();
};

class ServerLifetime
{
public:
    ServerLifetime();
    ~ServerLifetime();
    ServerLifetime(const ServerLifetime&) = delete;
    ServerLifetime& operator=(const ServerLifetime&) = delete;

    // Objects and server locks; the last one gone signals NoneLeft().
    void Lock();
    void Unlock();
    LONG Count() const;
    HANDLE NoneLeft() const { return noneLeft_; }

    // A call arrived: the idle time starts again.
    void Touch();
    ULONGLONG IdleMilliseconds() const;

    // The processes that hold objects (0: not known). Wine keeps the objects
    // of a client that died, so only a client that still runs keeps an idle
    // server alive.
    void AddClient(DWORD processId);
    void RemoveClient(DWORD processId);
    bool AnyClientRunning() const;

private:
    volatile LONG count_ = 0;
    volatile LONGLONG lastCall_ = 0;
    HANDLE noneLeft_;
    mutable SRWLOCK clientsLock_ = SRWLOCK_INIT;
    std::map<DWORD, int> clients_;  // process id -> objects it holds
};

// The auto-reset event that makes a running server end at once, as if it had
// crashed (see sim/README.md).
constexpr wchar_t crashEventName[] = L"SimSettingsService-Crash";

// The process on whose behalf the current call runs; 0 outside a call.
DWORD CallerProcessId();

struct Server
{
    ServiceConfig config;
    SettingsStore store;
    ServerLifetime lifetime;

    explicit Server(const ServiceConfig& configuration)
        : config(configuration), store(configuration.stateFile)
    {
    }
};

// The running server; set up by the server's entry before any object exists.
Server& TheServer();
void SetServer(Server* server);

// Lock/Unlock for the class factories.
struct ServerModule
{
    static void Lock() { TheServer().lifetime.Lock(); }
    static void Unlock() { TheServer().lifetime.Unlock(); }
};

} // namespace sim
