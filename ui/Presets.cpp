#include "Presets.h"
#include "tarvix/resource.h"

const PresetEntry presetTable[presetTableSize] = {
    {51, 50, IDS_PRESET_0},
    {58, 59, IDS_PRESET_1},
    {56, 57, IDS_PRESET_2},
    {60, 62, IDS_PRESET_3},
    {61, 62, IDS_PRESET_4},
    {63, 64, IDS_PRESET_5},
    {66, 66, IDS_PRESET_6},
    {0, 0, IDS_PRESET_OWN},
};

namespace {

int CountFunction(const SpecialButtonFunctions* functions, UINT32 functionId)
{
    int count = 0;
    if (functions != nullptr)
        for (INT_PTR i = 0; i < functions->GetSize(); ++i)
            if (functions->GetAt(i).functionId == functionId)
                ++count;
    return count;
}

} // namespace

bool IsPresetAvailable(const PresetEntry& preset, const SpecialButtonFunctions* button0,
                       const SpecialButtonFunctions* button1)
{
    return CountFunction(button0, preset.function0) + CountFunction(button1, preset.function1) == 2;
}
