#include "AssignmentsFixture.h"

void AssignmentsFixture::OfferEveryFunction()
{
    const struct
    {
        ULONG id;
        const wchar_t* name;
    } builtIns[] = {{50, L"Forward"}, {51, L"Back"},        {56, L"Zoom out"},  {57, L"Zoom in"},
                    {58, L"Copy"},    {59, L"Paste"},       {60, L"Previous"},  {61, L"Play"},
                    {62, L"Next"},    {63, L"Volume down"}, {64, L"Volume up"}, {66, L"Desktop"}};
    for (const auto& function : builtIns)
        device->Add(function.id, function.name);
    device->Add(101, L"", 1);
    device->Add(102, L"", 1);
    device->Add(201, L"", 0);
    device->Add(202, L"", 0);
}

INT32 AssignmentsFixture::StoredSetting(LONG index, INT32 missing) const
{
    if (!settings.Has(TarvixSettingsSection, index))
        return missing;
    VARIANT value = settings.Stored(TarvixSettingsSection, index);
    const INT32 result = V_VT(&value) == VT_INT ? V_INT(&value) : missing;
    VariantClear(&value);
    return result;
}
