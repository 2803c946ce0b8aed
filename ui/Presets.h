#pragma once
// The fixed pairs of functions that set both buttons at once. The last entry
// stands for the user's own choice per button and is always listed.
#include <windows.h>
#include "ButtonRecords.h"

struct PresetEntry
{
    UINT32 function0;  // function of button 0
    UINT32 function1;  // function of button 1
    UINT nameId;       // string resource with the preset's name
};

constexpr int presetTableSize = 8;
constexpr int ownSettingsPreset = presetTableSize - 1;
extern const PresetEntry presetTable[presetTableSize];

// Whether both buttons offer the preset's functions: the matches over both
// lists must come to exactly two.
bool IsPresetAvailable(const PresetEntry& preset, const SpecialButtonFunctions* button0,
                       const SpecialButtonFunctions* button1);
