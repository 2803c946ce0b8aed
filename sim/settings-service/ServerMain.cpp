// Entry of the settings server, started by COM with -Embedding (or by hand).
// It serves until the last object and lock are gone, or until no call came for
// the idle time and no client that holds objects still runs: Wine keeps the
// objects of clients that died, so without the time-out such a server would
// never end, and without the client check it would leave a live client.
#include <windows.h>
#include "ClassFactory.h"
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

void Serve(sim::Server& server, Registrations& registrations)
{
    const ULONGLONG idleLimit = static_cast<ULONGLONG>(server.config.idleTimeoutSeconds) * 1000;
    for (;;) {
        if (WaitForSingleObject(server.lifetime.NoneLeft(), 250) == WAIT_OBJECT_0) {
            ResetEvent(server.lifetime.NoneLeft());
            // No new clients from here on (COM starts a fresh server for them);
            // one that got an object in the meantime is served to its end.
            registrations.Revoke();
            if (server.lifetime.Count() == 0)
                return;
            continue;
        }
        // Idle: the server ends unless a client that holds objects still runs.
        if (server.lifetime.IdleMilliseconds() >= idleLimit && !server.lifetime.AnyClientRunning())
            return;
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
        return 1;
    // Deliberately never freed: objects that dead clients left behind may still
    // refer to it while the process ends.
    sim::Server* server = new sim::Server(sim::ServiceConfig::Read());
    sim::SetServer(server);
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
    CoUninitialize();
    return exitCode;
}
