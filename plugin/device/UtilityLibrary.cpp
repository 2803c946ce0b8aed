#include "UtilityLibrary.h"
#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include "CriticalSection.h"
#include "Guards.h"
#include "Handles.h"
#include "RegistryText.h"

namespace {

const wchar_t sharedDllsKey[] = L"Software\\Kelvor Corporation\\Shared Info\\Shared Dlls";
const wchar_t libraryValue[] = L"VexaUtils.dll";

nsQrt_Tools::CCriticalSection usersLock;   // guards utilityUsers
nsQrt_Tools::CCriticalSection recordLock;  // guards creating and removing the record

std::atomic<UtilityLibrary*> currentLibrary{nullptr};
std::atomic<bool> exitHandlerRegistered{false};
LONG utilityUsers = 0;

template <typename Proc>
bool Bind(HMODULE module, const char* name, Proc& slot)
{
    FARPROC proc = GetProcAddress(module, name);
    slot = reinterpret_cast<Proc>(reinterpret_cast<void*>(proc));
    return proc != nullptr;
}

// Lets go of the library a record holds, then of the record.
void ReleaseRecord(UtilityLibrary* record) noexcept
{
    if (record->VuDetach != nullptr) {
        (void)record->RemoveRef();
        (void)record->VuDetach();
    }
    if (record->module != nullptr)
        FreeLibrary(record->module);
    *record = UtilityLibrary{};
    delete record;
}

struct RecordRelease
{
    void operator()(UtilityLibrary* record) const noexcept { ReleaseRecord(record); }
};
// A record not yet published: whatever ends its making, also an exception, lets it go.
using unpublished_record = std::unique_ptr<UtilityLibrary, RecordRelease>;

CapabilityRequest LampRequest() noexcept
{
    CapabilityRequest request;
    request.header = 0;
    request.version = 1;
    request.functionCode = lampFunctionCode;
    request.argument0 = 0;
    request.argument1 = 0;
    request.argument2 = 0;
    return request;
}

// Counts a check in for its whole run, also when an exception ends it. The
// library goes when the last running check leaves, so no check can be using
// a record while it is released.
class RunningCheck
{
public:
    RunningCheck() noexcept
    {
        CriticalSectionLock users(usersLock);
        ++utilityUsers;
    }
    ~RunningCheck()
    {
        CriticalSectionLock users(usersLock);
        if (--utilityUsers == 0)
            UnloadUtilityLibrary();
    }
    RunningCheck(const RunningCheck&) = delete;
    RunningCheck& operator=(const RunningCheck&) = delete;
};

}  // namespace

bool LoadUtilityLibrary(UtilityLibrary& record)
{
    unique_hkey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, sharedDllsKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return false;
    // Only a full path: a bare name would be found beside the host first.
    CString path;
    if (!ReadRegistryPath(key.get(), libraryValue, path))
        return false;
    {
        // The library's own imports come from its folder.
        const thread_error_mode quiet(noErrorBoxes);
        record.module = LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    if (record.module == nullptr)
        return false;

    VuPlainProc addRef = nullptr;
    HMODULE module = record.module;
    const bool bound = Bind(module, "VuInitialize", record.VuInitialize) &&
                       Bind(module, "VuGetLastErrorCode", record.VuGetLastErrorCode) &&
                       Bind(module, "VuGetMachineIDEx", record.VuGetMachineIDEx) &&
                       Bind(module, "VuIsSupportedFunction", record.VuIsSupportedFunction) &&
                       Bind(module, "VuCallDriver", record.VuCallDriver) &&
                       Bind(module, "VuCallPowerSaving", record.VuCallPowerSaving) &&
                       Bind(module, "VuRegWnd", record.VuRegWnd) && Bind(module, "VuUnRegWnd", record.VuUnRegWnd) &&
                       Bind(module, "VuCallVideo", record.VuCallVideo) &&
                       Bind(module, "VuGetTRCXFunctionChn", record.VuGetTRCXFunctionChn) &&
                       Bind(module, "VuEnableTRCXEvents", record.VuEnableTRCXEvents) &&
                       Bind(module, "AddRef", addRef) && Bind(module, "RemoveRef", record.RemoveRef) &&
                       Bind(module, "VuDetach", record.VuDetach);
    if (!bound)
        return false;
    (void)addRef();
    return true;
}

UtilityLibrary* GetUtilityLibrary()
{
    if (!exitHandlerRegistered.exchange(true))
        (void)std::atexit(&UnloadUtilityLibrary);  // runs when this module is unloaded

    if (UtilityLibrary* published = currentLibrary.load())
        return published;

    CriticalSectionLock creating(recordLock);
    if (currentLibrary.load() == nullptr) {
        unpublished_record record(new UtilityLibrary{});
        if (LoadUtilityLibrary(*record))
            currentLibrary.store(record.release());
    }
    return currentLibrary.load();
}

void UnloadUtilityLibrary()
{
    if (currentLibrary.load() == nullptr)
        return;
    CriticalSectionLock removing(recordLock);
    if (UtilityLibrary* record = currentLibrary.exchange(nullptr))
        ReleaseRecord(record);
}

bool QueryCapability(DWORD mask)
{
    RunningCheck running;
    UtilityLibrary* library = GetUtilityLibrary();
    if (library == nullptr)
        return false;

    CapabilityRequest request = LampRequest();
    if (library->VuIsSupportedFunction == nullptr || library->VuIsSupportedFunction(&request) == 0)
        return false;
    CapabilityRequest call = LampRequest();
    DWORD answer = 0;
    if (library->VuCallDriver != nullptr)
        (void)library->VuCallDriver(&call, &answer);
    return (answer & mask) != 0;
}

LONG GetUtilityUsers()
{
    CriticalSectionLock users(usersLock);
    return utilityUsers;
}
