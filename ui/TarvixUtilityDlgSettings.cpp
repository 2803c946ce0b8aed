// The settings button of each button: the function's own program, the
// application chooser or the key-combination dialog.
#include <windows.h>
#include <shellapi.h>
#include <utility>
#include "ExecuteApplicationDlg.h"
#include "FunctionIds.h"
#include "KeyCombinView.h"
#include "TarvixUtilityDlg.h"
#include "tarvix/resource.h"

namespace {

// Opens a function's own program; the program is not waited for and a failure
// is not reported.
void OpenActionTarget(const _SPECIAL_BUTTON_INFO& entry)
{
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_DDEWAIT;
    info.nShow = SW_SHOWNORMAL;
    info.lpFile = entry.actionTarget;
    info.lpDirectory = entry.applicationFolder.IsEmpty() ? nullptr : entry.applicationFolder.GetString();
    if (ShellExecuteExW(&info) && info.hProcess != nullptr)
        CloseHandle(info.hProcess);
}

} // namespace

void CTarvixUtilityDlg::OnFunctionSettings(UINT id)
{
    const int index = static_cast<int>(id) - IDC_BUTTON0_SETTINGS;
    if (index < 0 || index >= model_.ButtonCount() || index >= MaxButtons)
        return;
    CSpecialButtonData* data = model_.Data(index);
    _SPECIAL_BUTTON_INFO* entry = SelectedEntry(index);
    if (data == nullptr || entry == nullptr)
        return;

    if (!entry->actionTarget.IsEmpty()) {
        OpenActionTarget(*entry);
        return;
    }
    if (FunctionIds::IsLaunch(entry->functionId)) {
        CZVKExecuteApplicationDlg chooser(*data, silent_);
        if (RunSubDialog(chooser) == IDOK && chooser.IsChanged()) {
            model_.TakeProgram(index, *entry);
            UpdateAssignmentLabel(index, *entry);
            SetModified(true);
        }
    } else if (entry->functionId > FunctionIds::LaunchLast && FunctionIds::IsKeyCombination(entry->functionId)) {
        CKeyCombin_View keys(*data);
        if (RunSubDialog(keys) == IDOK && keys.changed) {
            model_.TakeKeys(index, *entry);
            assignmentLabel[index].SetWindowText(entry->displayText);
            SetModified(true);
        }
    }
    // A shutdown request cancelled the sub-dialog; now that it is gone, the dialog applies and closes.
    if (std::exchange(shutdownDue_, false))
        OnOK();
}

INT_PTR CTarvixUtilityDlg::RunSubDialog(CDialog& subDialog)
{
    struct Running
    {
        CDialog*& open;
        ~Running() { open = nullptr; }
    } running{subDialog_};
    subDialog_ = &subDialog;
    return subDialog.DoModal();
}
