#pragma once
// Run-time binding of the maker's utility library VexaUtils.dll, which tells
// which lamp functions the machine has. The library is found through
// HKLM\Software\Kelvor Corporation\Shared Info\Shared Dlls, loaded for the
// duration of the capability checks that are running, and released when the
// last of them ends.
#include <windows.h>

// The request handed to the library, 10 bytes, little-endian.
#pragma pack(push, 1)
struct CapabilityRequest
{
    WORD header;        // 0
    WORD version;       // 1
    WORD functionCode;  // lampFunctionCode
    BYTE argument0;
    BYTE argument1;
    BYTE argument2;
    BYTE padding;  // not set
};
#pragma pack(pop)
static_assert(sizeof(CapabilityRequest) == 10, "the library reads exactly ten bytes");

constexpr WORD lampFunctionCode = 280;
// Bits of the capability answer.
constexpr DWORD logoLampCapability = 1;
constexpr DWORD lampBrightnessCapability = 2;

extern "C" {
typedef int(__cdecl* VuPlainProc)();
typedef int(__cdecl* VuIsSupportedFunctionProc)(CapabilityRequest* request);
typedef int(__cdecl* VuCallDriverProc)(CapabilityRequest* request, DWORD* answer);
}

// The bound library; a new record is all zero.
struct UtilityLibrary
{
    HMODULE module;
    VuPlainProc VuDetach;
    VuPlainProc VuInitialize;
    VuPlainProc VuGetLastErrorCode;
    VuPlainProc VuGetMachineIDEx;
    VuIsSupportedFunctionProc VuIsSupportedFunction;
    VuCallDriverProc VuCallDriver;
    VuPlainProc VuCallPowerSaving;
    VuPlainProc VuRegWnd;
    VuPlainProc VuUnRegWnd;
    VuPlainProc VuCallVideo;
    VuPlainProc VuGetTRCXFunctionChn;
    VuPlainProc VuEnableTRCXEvents;
    VuPlainProc RemoveRef;
};

// Finds, loads and binds the library into `record` and calls its AddRef once.
// Only a full path is loaded. False (with the record possibly holding the
// module) when any step fails.
bool LoadUtilityLibrary(UtilityLibrary& record);

// The published record, loading it when there is none; null when it cannot be
// loaded. Only safe to use while the caller is counted as a running check
// (see QueryCapability): the record is released when the last check ends.
UtilityLibrary* GetUtilityLibrary();

// Releases the published record, if any.
void UnloadUtilityLibrary();

// Asks the library whether the lamp function code reports any bit of `mask`.
bool QueryCapability(DWORD mask);

// Capability checks running right now.
LONG GetUtilityUsers();
