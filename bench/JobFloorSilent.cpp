// The floor of a silent run: the outside calls TarvixUtility /miseban makes,
// in its order, and nothing else (no framework, no language module, no window
// classes, no common controls). What the product costs beyond this program is
// its own.
#include <windows.h>
#include <objbase.h>
#include "JobFloorCalls.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    // Like the product, the thread's apartment is left to the ending process.
    (void)CoInitialize(nullptr);
    com_ptr<ISpecialButtonDevice> device;
    if (FAILED(CoCreateInstance(CLSID_SpecialButtonDevice, nullptr, CLSCTX_INPROC_SERVER, IID_ISpecialButtonDevice,
                                device.put_void())))
        return 1;
    std::vector<FloorButton> buttons;
    const bool ready = ReadButtons(device.get(), buttons, true);
    {
        FloorSettings settings;
        if (settings.Connect()) {
            (void)settings->SetValue(settings.Section(), 1, IntValue(1));
            (void)settings->Commit();
        }
        device.reset();  // the product lets the device go before the settings
    }
    return ready ? 0 : 1;
}
