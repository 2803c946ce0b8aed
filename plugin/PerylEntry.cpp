// Peryl.dll's entry and exports. All set-up happens in static initialisation.
#include <windows.h>
#include "PerylDesc.h"

namespace {

CPerylDesc perylDesc;

}  // namespace

extern "C" {

// Every call adds the pages again: the host calls it once per load.
ClassDesc* __cdecl global_newClassDesc()
{
    perylDesc.AddPluginClasses();
    return &perylDesc;
}

// The descriptor is static and lives until the DLL is unloaded.
void __cdecl global_delClassDesc()
{
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}

}  // extern "C"
