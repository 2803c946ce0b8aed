// The handlers through which the user changes an assignment. They change only
// the records in memory and the dialog; the device hears of it on Apply or OK.
#include "TarvixUtilityDlg.h"
#include "SettingsConnection.h"
#include "tarvix/resource.h"

namespace {

void CopyEntryIntoData(const _SPECIAL_BUTTON_INFO& entry, CSpecialButtonData& data)
{
    data.applicationPath = entry.applicationPath;
    data.applicationArguments = entry.applicationArguments;
    data.applicationFolder = entry.applicationFolder;
    data.functionName = entry.name;
    data.keyCombination = entry.keyCombination;
}

} // namespace

void CTarvixUtilityDlg::OnPresetChanged()
{
    const int selected = presetList.GetCurSel();
    if (selected < 0 || selected == presetSelection)
        return;
    presetSelection = selected;
    NoteSettingKnown(SettingsIndex::PresetActive);

    const PresetEntry* preset = nullptr;
    if (selected == presetCount - 1) {
        presetActive = 0;
    } else {
        preset = static_cast<const PresetEntry*>(presetList.GetItemDataPtr(selected));
        if (preset == nullptr)
            return;
        presetActive = 1;
    }
    for (int i = 0; i < MaxButtons; ++i) {
        if (CSpecialButtonData* data = DataOf(i)) {
            if (preset == nullptr)
                data->assignedFunctionId = customFunctionId[i];  // the choice last made in own mode
            else
                data->assignedFunctionId = i == 0 ? preset->function0 : preset->function1;
        }
        SyncFunctionSelection(static_cast<UINT>(i));
    }
    SetModified(true);
}

void CTarvixUtilityDlg::OnFunctionChanged(UINT id)
{
    const int index = static_cast<int>(id) - IDC_BUTTON0_FUNCTIONS;
    if (index < 0 || index >= buttonCount || index >= MaxButtons)
        return;
    const int selected = functionList[index].GetCurSel();
    if (selected < 0 || selected == functionSelection[index])
        return;
    auto* entry = static_cast<_SPECIAL_BUTTON_INFO*>(functionList[index].GetItemDataPtr(selected));
    if (entry == nullptr)
        return;
    if (CSpecialButtonData* data = DataOf(index)) {
        data->assignedFunctionId = entry->functionId;
        customFunctionId[index] = entry->functionId;
        NoteSettingKnown(SettingsIndex::CustomFunction0 + index);
        CopyEntryIntoData(*entry, *data);
    }
    UpdateAssignmentLabel(index, *entry);
    settingsButton[index].EnableWindow(entry->isCustomEntry != 0 || !entry->actionTarget.IsEmpty());
    functionSelection[index] = selected;
    SetModified(true);
}
