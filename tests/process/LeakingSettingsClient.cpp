// A client of the settings service that ends without letting go of its
// objects, as a client that crashes does.
#include <windows.h>
#include "SettingsService.h"

int main()
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
        return 1;
    ISettingsService* service = nullptr;
    if (FAILED(CoCreateInstance(CLSID_SettingsService, nullptr, CLSCTX_LOCAL_SERVER, IID_ISettingsService,
                                reinterpret_cast<void**>(&service))))
        return 2;
    TerminateProcess(GetCurrentProcess(), 0);  // no Release, no clean-up
    return 3;
}
