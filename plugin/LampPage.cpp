#include "LampPage.h"
#include <commctrl.h>
#include "detect/InheritListBox.h"
#include "detect/MonAppList.h"

LRESULT LampPageProc(UINT msg, WPARAM, LPARAM lParam)
{
    if (msg != WM_NOTIFY || lParam == 0)
        return 0;
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (header->code != static_cast<UINT>(LVN_ITEMCHANGED))
        return 0;
    HWND list = header->hwndFrom;
    const LRESULT count = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
        if (SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) & LVIS_SELECTED) {
            LVITEMW state = {};
            state.state = 0;
            state.stateMask = LVIS_SELECTED;
            SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
        }
    }
    return 0;
}

void FillApplicationList(CInheritListBox& list)
{
    CArray<CString> names;
    {
        CMonAppList detector;
        detector.Detect(names);
    }
    list.SetStrings(names);
}
