#include "MainDialogFixture.h"
#include "support/ModalDriver.h"
#include "tarvix/resource.h"

MainDialogTest::MainDialogTest()
{
    device->assigned = {{1, 58}, {2, 59}};
}

MainDialogTest::~MainDialogTest()
{
    if (dialog && dialog->IsWindow())
        dialog->DestroyWindow();
    dialog.reset();
    device->Release();
}

void MainDialogTest::OfferEveryFunction()
{
    const struct
    {
        ULONG id;
        const wchar_t* name;
    } builtIns[] = {{50, L"Forward"},     {51, L"Back"},       {56, L"Zoom out"},   {57, L"Zoom in"},
                    {58, L"Copy"},        {59, L"Paste"},      {60, L"Previous"},   {61, L"Play"},
                    {62, L"Next"},        {63, L"Volume down"}, {64, L"Volume up"}, {66, L"Desktop"}};
    for (const auto& function : builtIns)
        device->Add(function.id, function.name);
    device->Add(101, L"", 1);
    device->Add(102, L"", 1);
    device->Add(201, L"", 0);
    device->Add(202, L"", 0);
}

void MainDialogTest::OfferSettings()
{
    settingsAccess.reachable = true;
}

INT32 MainDialogTest::StoredSetting(LONG index, INT32 missing) const
{
    if (!settings.Has(TarvixSettingsSection, index))
        return missing;
    VARIANT value = settings.Stored(TarvixSettingsSection, index);
    const INT32 result = V_VT(&value) == VT_INT ? V_INT(&value) : missing;
    VariantClear(&value);
    return result;
}

CTarvixUtilityDlg& MainDialogTest::Open(const DialogScale& scale)
{
    dialog.reset(new CTarvixUtilityDlg(settingsAccess.access, scale));
    EXPECT_TRUE(dialog->InitializeButtons(0, false));
    EXPECT_TRUE(dialog->Create());
    PumpMessages(dialog->m_hWnd);
    return *dialog;
}

RECT MainDialogTest::ControlRect(int id) const
{
    RECT rect{};
    GetWindowRect(Item(id), &rect);
    MapWindowPoints(nullptr, dialog->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
