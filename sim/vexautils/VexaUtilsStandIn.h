#pragma once
// What the stand-in utility library shares with whoever watches it.
//
// Counters: a named shared-memory block per process,
//   Local\VexaUtilsStandIn.<process id>
// created by whichever opens it first (the library on load, or a test that
// wants the counts to outlive the library's unloads).
//
// Configuration, read on every call: under HKEY_LOCAL_MACHINE, the key named by
// the environment variable VEXAUTILS_STANDIN_KEY, else
// "Software\Kelvor Corporation\VexaUtils Stand-in":
//   "Capability" REG_DWORD  answer to function code 280 (default 3: both lamps)
//   "Supported"  REG_DWORD  0: function code 280 is not supported (default 1)
#include <windows.h>

struct VexaUtilsCounters
{
    volatile LONG loads;    // DLL_PROCESS_ATTACH
    volatile LONG unloads;  // DLL_PROCESS_DETACH
    volatile LONG addRef;
    volatile LONG removeRef;
    volatile LONG vuDetach;
    volatile LONG isSupported;      // VuIsSupportedFunction calls
    volatile LONG callDriver;       // VuCallDriver calls
    volatile LONG badRequests;      // requests whose fixed fields were wrong
    volatile LONG references;       // AddRef minus RemoveRef
    volatile LONG errorModeAtLoad;  // the loading thread's error mode at the last load
    volatile LONG sequenceLength;   // calls recorded in `sequence` (the first ones only)
    LONG sequence[64];              // VexaUtilsCall codes, in call order
};

enum VexaUtilsCall : LONG
{
    VexaCallLoad = 1,
    VexaCallAddRef,
    VexaCallIsSupported,
    VexaCallCallDriver,
    VexaCallRemoveRef,
    VexaCallDetach,
    VexaCallUnload,
};

#define VEXAUTILS_COUNTERS_PREFIX L"Local\\VexaUtilsStandIn."
#define VEXAUTILS_CONFIG_ENV L"VEXAUTILS_STANDIN_KEY"
#define VEXAUTILS_DEFAULT_KEY L"Software\\Kelvor Corporation\\VexaUtils Stand-in"
