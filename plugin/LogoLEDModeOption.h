#pragma once
// The logo-lamp radio group's option: each selection goes to the
// video-enhancement service as an LED mode.
#include "Plenkit.h"

class CLogoLEDModeOption : public SettingOption
{
public:
    // Connects, sends the mode for the radio index the value holds (LedModeOf)
    // and disconnects; sends nothing unless the connection answered exactly
    // S_OK. Always 0.
    LONG ApplyValue(const VARIANT& value) override;
    LONG OptionHookA(LONG_PTR argument) override;
    LONG OptionHookB(LONG_PTR argument) override;

    // Radio index 0, 1, 2 -> LED mode 2, 1, 0; anything else 0xFFFFFFFF.
    static DWORD LedModeFor(LONG index) noexcept;
    // The mode for the index in a value of whatever type the host uses (converted
    // as VariantChangeType does, also through a reference). No value (VT_EMPTY)
    // or one that does not convert to a 32-bit integer is no button: 0xFFFFFFFF.
    static DWORD LedModeOf(const VARIANT& value) noexcept;
};
