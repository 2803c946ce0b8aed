#include "Server.h"
#include <rpc.h>
#include <shlobj.h>

namespace sim {

namespace {

const wchar_t configKey[] = L"Software\\StandIns\\SimSettingsService";
Server* runningServer = nullptr;

std::wstring DefaultStateFile()
{
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(
            SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return std::wstring();
    return std::wstring(folder) + L"\\SimSettingsService\\settings.txt";
}

}  // namespace

ServiceConfig ServiceConfig::Read()
{
    ServiceConfig config;
    config.idleTimeoutSeconds = ReadDword(configKey, L"IdleTimeoutSeconds", DefaultIdleTimeoutSeconds);
    if (config.idleTimeoutSeconds == 0)
        config.idleTimeoutSeconds = 1;
    config.failures = FailureList(ReadString(configKey, L"FailMethod"));
    config.stateFile = ReadString(configKey, L"StateFile");
    if (config.stateFile.empty())
        config.stateFile = DefaultStateFile();
    return config;
}

ServerLifetime::ServerLifetime() : noneLeft_(CreateEventW(nullptr, TRUE, FALSE, nullptr))
{
    Touch();
}

ServerLifetime::~ServerLifetime()
{
    if (noneLeft_ != nullptr)
        CloseHandle(noneLeft_);
}

void ServerLifetime::Lock()
{
    InterlockedIncrement(&count_);
    Touch();
}

void ServerLifetime::Unlock()
{
    Touch();
    if (InterlockedDecrement(&count_) == 0)
        SetEvent(noneLeft_);
}

LONG ServerLifetime::Count() const
{
    return InterlockedCompareExchange(const_cast<volatile LONG*>(&count_), 0, 0);
}

void ServerLifetime::Touch()
{
    InterlockedExchange64(&lastCall_, static_cast<LONGLONG>(GetTickCount64()));
}

ULONGLONG ServerLifetime::IdleMilliseconds() const
{
    const LONGLONG last = InterlockedCompareExchange64(const_cast<volatile LONGLONG*>(&lastCall_), 0, 0);
    return GetTickCount64() - static_cast<ULONGLONG>(last);
}

bool ServerLifetime::EnterCreation()
{
    AcquireSRWLockShared(&creation_);
    if (!ending_)
        return true;
    ReleaseSRWLockShared(&creation_);
    return false;
}

void ServerLifetime::LeaveCreation()
{
    ReleaseSRWLockShared(&creation_);
}

void ServerLifetime::AddClient(DWORD processId)
{
    if (processId == 0)
        return;
    AcquireSRWLockExclusive(&clientsLock_);
    ++clients_[processId];
    if (processId == launcher_)
        launcher_ = 0;
    ReleaseSRWLockExclusive(&clientsLock_);
}

void ServerLifetime::SetLauncher(DWORD processId)
{
    AcquireSRWLockExclusive(&clientsLock_);
    launcher_ = processId;
    ReleaseSRWLockExclusive(&clientsLock_);
}

void ServerLifetime::RemoveClient(DWORD processId)
{
    if (processId == 0)
        return;
    AcquireSRWLockExclusive(&clientsLock_);
    const auto found = clients_.find(processId);
    if (found != clients_.end() && --found->second == 0)
        clients_.erase(found);
    ReleaseSRWLockExclusive(&clientsLock_);
}

bool ServerLifetime::AnyClientRunning() const
{
    const auto runs = [](DWORD processId) {
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
        if (process == nullptr)
            return false;
        const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
        CloseHandle(process);
        return running;
    };
    bool running = false;
    AcquireSRWLockShared(&clientsLock_);
    if (launcher_ != 0)
        running = runs(launcher_);
    for (const auto& client : clients_)
        running = running || runs(client.first);
    ReleaseSRWLockShared(&clientsLock_);
    return running;
}

DWORD CallerProcessId()
{
    ULONG processId = 0;
    return I_RpcBindingInqLocalClientPID(nullptr, &processId) == RPC_S_OK ? processId : 0;
}

Server& TheServer()
{
    return *runningServer;
}

void SetServer(Server* server)
{
    runningServer = server;
}

}  // namespace sim
