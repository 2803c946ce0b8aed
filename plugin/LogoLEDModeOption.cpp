#include "LogoLEDModeOption.h"
#include "PageIdentity.h"
#include "device/PeloInterface.h"

LONG CLogoLEDModeOption::ApplyValue(const VARIANT& value)
{
    CPeloInterface service;
    // S_FALSE from the probe means the service will not take the mode either.
    if (service.Connect() == S_OK)
        (void)service.Transform(LedModeOf(value), logoLampPageIdentity);
    service.Disconnect();
    return 0;
}

LONG CLogoLEDModeOption::OptionHookA(LONG_PTR)
{
    return 0;
}
LONG CLogoLEDModeOption::OptionHookB(LONG_PTR)
{
    return 0;
}

DWORD CLogoLEDModeOption::LedModeFor(LONG index) noexcept
{
    switch (index) {
    case 0:
        return 2;
    case 1:
        return 1;
    case 2:
        return 0;
    default:
        return 0xFFFFFFFF;
    }
}

DWORD CLogoLEDModeOption::LedModeOf(const VARIANT& value) noexcept
{
    constexpr DWORD noButton = 0xFFFFFFFF;
    // Converting nothing would make button 1 of it.
    if (value.vt == VT_EMPTY)
        return noButton;
    VARIANT index;
    VariantInit(&index);
    if (FAILED(VariantChangeType(&index, const_cast<VARIANT*>(&value), 0, VT_I4)))
        return noButton;
    return LedModeFor(index.lVal);  // a VT_I4 holds nothing to clear
}
