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

    // Making an object and deciding to end exclude each other: an object is
    // made before the decision (which then sees it) or refused after it, so no
    // client ever gets an object of a server that is ending.
    bool EnterCreation();  // false once the server ends
    void LeaveCreation();
    // Decides to end when `ending()` holds, with no object being made meanwhile;
    // true once decided.
    template <typename Condition>
    bool EndIf(Condition ending)
    {
        AcquireSRWLockExclusive(&creation_);
        if (!ending_ && ending())
            ending_ = true;
        const bool ended = ending_;
        ReleaseSRWLockExclusive(&creation_);
        return ended;
    }

    // The processes that hold objects (0: not known). Wine keeps the objects
    // of a client that died, so only a client that still runs keeps an idle
    // server alive.
    void AddClient(DWORD processId);
    void RemoveClient(DWORD processId);
    bool AnyClientRunning() const;
    // The process that started the server (COM, for the client that activated
    // it) counts as a client until its first object: COM hands it the class
    // only after polling for it, which can take longer than a short idle time.
    void SetLauncher(DWORD processId);

private:
    volatile LONG count_ = 0;
    volatile LONGLONG lastCall_ = 0;
    HANDLE noneLeft_;
    SRWLOCK creation_ = SRWLOCK_INIT;
    bool ending_ = false;
    mutable SRWLOCK clientsLock_ = SRWLOCK_INIT;
    std::map<DWORD, int> clients_;  // process id -> objects it holds
    DWORD launcher_ = 0;            // until its first object
};

// The auto-reset event that makes a running server end at once, as if it had
// crashed (see sim/README.md).
constexpr wchar_t crashEventName[] = L"SimSettingsService-Crash";
// The manual-reset event that a server sets when it has been idle for its idle
// time and stays because a client that holds objects still runs.
constexpr wchar_t keptForClientEventName[] = L"SimSettingsService-KeptForClient";

// The process on whose behalf the current call runs; 0 outside a call.
DWORD CallerProcessId();

struct Server
{
    ServiceConfig config;
    SettingsStore store;
    ServerLifetime lifetime;

    explicit Server(const ServiceConfig& configuration) : config(configuration), store(configuration.stateFile) {}
};

// The running server; set up by the server's entry before any object exists.
Server& TheServer();
void SetServer(Server* server);

// Lock/Unlock for the class factories.
struct ServerModule
{
    static void Lock() { TheServer().lifetime.Lock(); }
    static void Unlock() { TheServer().lifetime.Unlock(); }
    static bool EnterCreation() { return TheServer().lifetime.EnterCreation(); }
    static void LeaveCreation() { TheServer().lifetime.LeaveCreation(); }
};

}  // namespace sim
