// The handlers through which the user changes an assignment. They change only
// the records in memory and the dialog; the device hears of it on Apply or OK.
#include "TarvixUtilityDlg.h"
#include "tarvix/resource.h"

void CTarvixUtilityDlg::OnPresetChanged()
{
    const int selected = presetList.GetCurSel();
    if (selected < 0 || selected == presetSelection)
        return;
    presetSelection = selected;

    const PresetEntry* preset = nullptr;  // the own-settings entry
    if (selected != presetCount - 1) {
        preset = static_cast<const PresetEntry*>(presetList.GetItemDataPtr(selected));
        if (preset == nullptr)
            return;
    }
    model_.ChoosePreset(preset);
    for (int i = 0; i < MaxButtons; ++i)
        SyncFunctionSelection(static_cast<UINT>(i));
    SetModified(true);
}

void CTarvixUtilityDlg::OnFunctionChanged(UINT id)
{
    const int index = static_cast<int>(id) - IDC_BUTTON0_FUNCTIONS;
    if (index < 0 || index >= model_.ButtonCount() || index >= MaxButtons)
        return;
    const int selected = functionList[index].GetCurSel();
    if (selected < 0 || selected == functionSelection[index])
        return;
    auto* entry = static_cast<_SPECIAL_BUTTON_INFO*>(functionList[index].GetItemDataPtr(selected));
    if (entry == nullptr)
        return;
    model_.ChooseFunction(index, *entry);
    UpdateAssignmentLabel(index, *entry);
    settingsButton[index].EnableWindow(entry->isCustomEntry != 0 || !entry->actionTarget.IsEmpty());
    functionSelection[index] = selected;
    SetModified(true);
}
