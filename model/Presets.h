#pragma once
// The fixed pairs of functions that set both buttons at once. The last entry
// stands for the user's own choice per button and is always listed.
#include <windows.h>
#include "ButtonRecords.h"
#include "tarvix/resource.h"

struct PresetEntry
{
    UINT32 function0;  // function of button 0
    UINT32 function1;  // function of button 1
    UINT nameId;       // string resource with the preset's name
};

constexpr int presetTableSize = 8;
// One table for the program: the preset list hands out pointers into it.
inline constexpr PresetEntry presetTable[presetTableSize] = {
    {51, 50, IDS_PRESET_0}, {58, 59, IDS_PRESET_1}, {56, 57, IDS_PRESET_2}, {60, 62, IDS_PRESET_3},
    {61, 62, IDS_PRESET_4}, {63, 64, IDS_PRESET_5}, {66, 66, IDS_PRESET_6}, {0, 0, IDS_PRESET_OWN},
};
constexpr int ownSettingsPreset = presetTableSize - 1;
// The pair each button gets by default, which a silent run records as a preset in use.
constexpr int defaultPreset = 1;

// Whether button 0 offers the preset's first function and button 1 its second.
bool IsPresetAvailable(const PresetEntry& preset, const SpecialButtonFunctions* button0,
                       const SpecialButtonFunctions* button1);
