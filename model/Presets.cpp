#include "Presets.h"

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
