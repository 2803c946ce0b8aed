// Entry of the settings server, started by COM with -Embedding (or by hand).
// It serves until the last object and lock are gone, or until no call came for
// the idle time and no client that holds objects still runs: Wine keeps the
// objects of clients that died, so without the time-out such a server would
// never end, and without the client check it would leave a live client.
#include <windows.h>
#include <tlhelp32.h>
#include "ClassFactory.h"
#include "Handles.h"
#include "Server.h"
#include "SettingsObjects.h"

namespace {

ClassFactory<sim::SettingsService, sim::ServerModule> serviceFactory;
ClassFactory<sim::SettingsCompanion, sim::ServerModule> companionFactory;

class Registrations
{
public:
    bool Register()
    {
        return SUCCEEDED(CoRegisterClassObject(CLSID_SettingsService, &serviceFactory, CLSCTX_LOCAL_SERVER,
                                               REGCLS_MULTIPLEUSE, &service_)) &&
               SUCCEEDED(CoRegisterClassObject(CLSID_SettingsCompanion, &companionFactory, CLSCTX_LOCAL_SERVER,
                                               REGCLS_MULTIPLEUSE, &companion_));
    }
    void Revoke()
    {
        if (service_ != 0)
            (void)CoRevokeClassObject(service_);
        if (companion_ != 0)
            (void)CoRevokeClassObject(companion_);
        service_ = companion_ = 0;
    }
    ~Registrations() { Revoke(); }

private:
    DWORD service_ = 0;
    DWORD companion_ = 0;
};

// Ends the server at once, as a crash would: no object is released and no
// client hears of it. Only the class objects are revoked first, because
// Wine's rpcss, unlike Windows, keeps handing out the registration of a dead
// server and would never start another one.
[[noreturn]] void Crash(Registrations& registrations)
{
    registrations.Revoke();
    TerminateProcess(GetCurrentProcess(), 3);
    ExitProcess(3);
}

void Serve(sim::Server& server, Registrations& registrations)
{
    const ULONGLONG idleLimit = static_cast<ULONGLONG>(server.config.idleTimeoutSeconds) * 1000;
    // Signalled by a test that wants the server to die between two calls of its clients.
    unique_handle crash(CreateEventW(nullptr, FALSE, FALSE, sim::crashEventName));
    // Tells a test that the idle time passed and a running client kept the server.
    unique_handle keptForClient(CreateEventW(nullptr, TRUE, FALSE, sim::keptForClientEventName));
    for (;;) {
        if (crash && WaitForSingleObject(crash.get(), 0) == WAIT_OBJECT_0)
            Crash(registrations);
        // Whether to end is decided while no object is being made, and from then
        // on every new one is refused (CO_E_SERVER_STOPPING): a client gets either
        // an object this server keeps serving or a clean failure, never an
        // object of a server that is going away. COM starts a fresh server for
        // the clients after the revocation.
        bool ending = false;
        if (WaitForSingleObject(server.lifetime.NoneLeft(), 250) == WAIT_OBJECT_0) {
            ResetEvent(server.lifetime.NoneLeft());
            ending = server.lifetime.EndIf([&] { return server.lifetime.Count() == 0; });
        } else {
            // Idle: the server ends unless a client that holds objects still runs.
            bool kept = false;
            ending = server.lifetime.EndIf([&] {
                if (server.lifetime.IdleMilliseconds() < idleLimit)
                    return false;
                kept = server.lifetime.AnyClientRunning();
                return !kept;
            });
            if (kept && keptForClient)
                SetEvent(keptForClient.get());
        }
        if (ending) {
            registrations.Revoke();
            return;
        }
    }
}

// The process that started this one; 0 when unknown.
DWORD ParentProcessId()
{
    unique_handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return 0;
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
        if (entry.th32ProcessID == GetCurrentProcessId())
            return entry.th32ParentProcessID;
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
        return 1;
    // Deliberately never freed: objects that dead clients left behind may still
    // refer to it while the process ends.
    sim::Server* server = new sim::Server(sim::ServiceConfig::Read());
    sim::SetServer(server);
    server->lifetime.SetLauncher(ParentProcessId());
    (void)server->store.Reload();  // a missing file is an empty store
    if (server->config.failures.Fails(L"SettingsService"))
        serviceFactory.SetFailure(E_FAIL);
    if (server->config.failures.Fails(L"SettingsCompanion"))
        companionFactory.SetFailure(E_FAIL);

    int exitCode = 0;
    {
        Registrations registrations;
        if (registrations.Register())
            Serve(*server, registrations);
        else
            exitCode = 2;
    }
    // COM is not uninitialised: with the classes revoked nothing new can reach
    // the server, and the end of the process drops the rest. CoUninitialize
    // waits for calls on every interface whose last stub it removes; under
    // Wine it was seen to wait for good (a server left running with its
    // classes revoked, on which every later "has the server ended?" waits).
    return exitCode;
}
