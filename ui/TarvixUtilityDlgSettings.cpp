// The settings button of each button: the function's own program, the
// application chooser or the key-combination dialog.
#include <windows.h>
#include <shellapi.h>
#include <utility>
#include "ExecuteApplicationDlg.h"
#include "Handles.h"
#include "KeyCombinView.h"
#include "TarvixUtilityDlg.h"
#include "tarvix/resource.h"

namespace {

// Opens a function's own program; the program is not waited for and a failure
// is not reported.
void OpenActionTarget(const SettingsAction& action)
{
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_DDEWAIT;
    info.nShow = SW_SHOWNORMAL;
    info.lpFile = action.target;
    info.lpDirectory = action.folder.IsEmpty() ? nullptr : action.folder.GetString();
    if (ShellExecuteExW(&info))
        unique_handle process(info.hProcess);  // not waited for
}

}  // namespace

void CTarvixUtilityDlg::OnFunctionSettings(UINT id)
{
    const int index = static_cast<int>(id) - IDC_BUTTON0_SETTINGS;
    if (index < 0 || index >= MaxButtons)
        return;
    const SettingsAction action = model_.Settings(index);
    switch (action.kind) {
    case SettingsAction::Kind::OpenTarget:
        OpenActionTarget(action);
        return;
    case SettingsAction::Kind::Program: {
        CZVKExecuteApplicationDlg chooser(model_.Program(index), silent_);
        if (RunSubDialog(chooser) == IDOK && chooser.IsChanged() && model_.SetProgram(index, chooser.Result())) {
            SyncFunctionSelection(static_cast<UINT>(index));
            SetModified(true);
        }
        break;
    }
    case SettingsAction::Kind::KeyCombination: {
        CKeyCombin_View keys(model_.KeyCombination(index));
        if (RunSubDialog(keys) == IDOK && keys.changed && model_.SetKeyCombination(index, keys.keyCombination)) {
            SyncFunctionSelection(static_cast<UINT>(index));
            SetModified(true);
        }
        break;
    }
    case SettingsAction::Kind::None:
        return;
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
