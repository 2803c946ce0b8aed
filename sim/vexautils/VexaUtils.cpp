// Stand-in of the maker's utility library: answers the lamp capability query
// (function code 280) from its configuration and counts what callers do.
#include <windows.h>
#include <cwchar>
#include "VexaUtilsStandIn.h"

namespace {

#pragma pack(push, 1)
struct Request
{
    WORD header;
    WORD version;
    WORD functionCode;
    BYTE arguments[3];
};
#pragma pack(pop)

constexpr WORD lampFunctionCode = 280;

HANDLE countersMapping = nullptr;
VexaUtilsCounters* counters = nullptr;
VexaUtilsCounters unsharedCounters = {};

void OpenCounters()
{
    wchar_t name[64];
    swprintf(name, sizeof(name) / sizeof(name[0]), L"%ls%lu", VEXAUTILS_COUNTERS_PREFIX, GetCurrentProcessId());
    countersMapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(VexaUtilsCounters),
                                         name);
    if (countersMapping != nullptr)
        counters = static_cast<VexaUtilsCounters*>(
            MapViewOfFile(countersMapping, FILE_MAP_WRITE, 0, 0, sizeof(VexaUtilsCounters)));
    if (counters == nullptr)
        counters = &unsharedCounters;
}

void CloseCounters()
{
    if (counters != &unsharedCounters && counters != nullptr)
        UnmapViewOfFile(counters);
    counters = nullptr;
    if (countersMapping != nullptr)
        CloseHandle(countersMapping);
    countersMapping = nullptr;
}

DWORD ConfigValue(const wchar_t* name, DWORD fallback)
{
    wchar_t path[512];
    const DWORD length = GetEnvironmentVariableW(VEXAUTILS_CONFIG_ENV, path, sizeof(path) / sizeof(path[0]));
    const wchar_t* keyPath = length > 0 && length < sizeof(path) / sizeof(path[0]) ? path : VEXAUTILS_DEFAULT_KEY;
    DWORD value = fallback;
    DWORD size = sizeof(value);
    DWORD type = REG_NONE;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
            type != REG_DWORD || size != sizeof(value))
            value = fallback;
        RegCloseKey(key);
    }
    return value;
}

void Record(LONG call)
{
    const LONG slot = InterlockedIncrement(&counters->sequenceLength) - 1;
    if (slot < static_cast<LONG>(sizeof(counters->sequence) / sizeof(counters->sequence[0])))
        counters->sequence[slot] = call;
    else
        InterlockedDecrement(&counters->sequenceLength);
}

bool IsLampRequest(const Request* request)
{
    if (request == nullptr || request->header != 0 || request->version != 1) {
        InterlockedIncrement(&counters->badRequests);
        return false;
    }
    return request->functionCode == lampFunctionCode;
}

}  // namespace

extern "C" {

int __cdecl VuInitialize()
{
    return 1;
}
int __cdecl VuGetLastErrorCode()
{
    return 0;
}
int __cdecl VuGetMachineIDEx()
{
    return 0;
}

int __cdecl VuIsSupportedFunction(const Request* request)
{
    InterlockedIncrement(&counters->isSupported);
    Record(VexaCallIsSupported);
    return IsLampRequest(request) && ConfigValue(L"Supported", 1) != 0 ? 1 : 0;
}

int __cdecl VuCallDriver(const Request* request, DWORD* answer)
{
    InterlockedIncrement(&counters->callDriver);
    Record(VexaCallCallDriver);
    if (answer == nullptr || !IsLampRequest(request))
        return 0;
    *answer = ConfigValue(L"Capability", 3);
    return 1;
}

int __cdecl VuCallPowerSaving()
{
    return 0;
}
int __cdecl VuRegWnd()
{
    return 0;
}
int __cdecl VuUnRegWnd()
{
    return 0;
}
#ifndef VEXAUTILS_WITHOUT_VIDEO
int __cdecl VuCallVideo()
{
    return 0;
}
#endif
int __cdecl VuGetTRCXFunctionChn()
{
    return 0;
}
int __cdecl VuEnableTRCXEvents()
{
    return 0;
}

int __cdecl AddRef()
{
    InterlockedIncrement(&counters->addRef);
    Record(VexaCallAddRef);
    return InterlockedIncrement(&counters->references);
}

int __cdecl RemoveRef()
{
    InterlockedIncrement(&counters->removeRef);
    Record(VexaCallRemoveRef);
    return InterlockedDecrement(&counters->references);
}

int __cdecl VuDetach()
{
    InterlockedIncrement(&counters->vuDetach);
    Record(VexaCallDetach);
    return 1;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        OpenCounters();
        InterlockedExchange(&counters->errorModeAtLoad, static_cast<LONG>(GetThreadErrorMode()));
        InterlockedIncrement(&counters->loads);
        Record(VexaCallLoad);
    } else if (reason == DLL_PROCESS_DETACH) {
        InterlockedIncrement(&counters->unloads);
        Record(VexaCallUnload);
        CloseCounters();
    }
    return TRUE;
}

}  // extern "C"
