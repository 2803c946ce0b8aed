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

}  // namespace

bool IsPresetAvailable(const PresetEntry& preset, const SpecialButtonFunctions* button0,
                       const SpecialButtonFunctions* button1)
{
    // Counted per button: a function listed twice for one button does not make
    // up for the other button lacking its own.
    return CountFunction(button0, preset.function0) > 0 && CountFunction(button1, preset.function1) > 0;
}
