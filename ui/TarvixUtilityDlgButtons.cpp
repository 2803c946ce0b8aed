// The main dialog's connection to the special-button device.
#include <vector>
#include "SettingsConnection.h"
#include "TarvixUtilityDlg.h"

BOOL CTarvixUtilityDlg::InitializeButtons(INT32 /*presetNumber: only start-up uses it*/, bool silent)
{
    // A repeated set-up starts afresh rather than mixing two devices' buttons.
    for (std::unique_ptr<CSpecialButton>& button : buttons)
        button.reset();
    buttonCount = 0;

    if (FAILED(CoCreateInstance(CLSID_SpecialButtonDevice, nullptr, CLSCTX_INPROC_SERVER, IID_ISpecialButtonDevice,
                                device.put_void())))
        return FALSE;
    if (device->Prepare(2) != S_OK)
        return FALSE;

    std::vector<LONG> buttonIds;
    LONG buttonId = 0;
    while (device->NextButton(&buttonId) == S_OK) {
        ULONG info = 0;
        (void)device->GetButtonInfo(buttonId, &info);  // asked once per button; the answer is not needed
        buttonIds.push_back(buttonId);
        ++buttonCount;
        buttonId = 0;
    }
    if (buttonCount == 0)
        return FALSE;

    BOOL result = TRUE;
    for (size_t i = 0; i < buttonIds.size() && i < MaxButtons; ++i) {
        buttons[i].reset(new CSpecialButton(device.get(), buttonIds[i]));
        if (!buttons[i]->Load(0))
            result = FALSE;  // the other buttons are still set up
        if (silent && buttons[i]->SetDefault())
            buttons[i]->Apply();
    }

    if (silent) {
        SettingsConnection* settings = GetSettingsConnection();
        if (settings != nullptr) {
            (void)WriteIntSetting(settings, SettingsIndex::PresetActive, 1);  // the defaults are a preset pair
            (void)CommitSettings(settings);
        }
    }
    return result;
}
