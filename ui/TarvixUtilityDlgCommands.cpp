// The handlers through which the user changes an assignment. Each hands the
// event to the assignments as a command and shows what they answer; the device
// hears of it on Apply or OK.
#include "TarvixUtilityDlg.h"
#include "tarvix/resource.h"

void CTarvixUtilityDlg::OnPresetChanged()
{
    if (!model_.ChoosePreset(presetList.GetCurSel()))
        return;
    for (int i = 0; i < MaxButtons; ++i)
        SyncFunctionSelection(static_cast<UINT>(i));
    SetModified(true);
}

void CTarvixUtilityDlg::OnFunctionChanged(UINT id)
{
    const int index = static_cast<int>(id) - IDC_BUTTON0_FUNCTIONS;
    if (index < 0 || index >= MaxButtons || !model_.ChooseFunction(index, functionList[index].GetCurSel()))
        return;
    SyncFunctionSelection(static_cast<UINT>(index));
    SetModified(true);
}
