#include "LampPage.h"
#include <commctrl.h>
#include <memory>
#include "PageIdentity.h"
#include "detect/InheritListBox.h"
#include "detect/MonAppList.h"
#include "device/UtilityLibrary.h"

namespace {

constexpr int radioCount = 3;

}  // namespace

CLampPage::CLampPage(const LampPageForm& form, const CString& identity)
    : PluginClass(form.titleId, form.descriptionId, form.dialogId, identity), form_(form)
{
    SetCategory(lampPageCategory);
}

LONG CLampPage::InitPage()
{
    for (const LampPageControl& control : form_.layout)
        (void)SetControlPos(control.id, control.x, control.y, control.cx, control.cy);

    // The option exists before its radio item, which owns it from then on.
    std::unique_ptr<SettingOption> option(form_.makeOption != nullptr ? form_.makeOption() : nullptr);
    auto* radio = new CRadioButtonItem(0, 0, form_.firstRadioId, radioCount, itemKindIndex, option.get());
    (void)option.release();  // the radio item owns it now
    RegisterItem(radio);
    auto* list = new CInheritListBox(0, 0, form_.listId, itemKindNoValue, nullptr);
    RegisterItem(list);

    CArray<CString> names;
    {
        CMonAppList detector;
        detector.Detect(names);
    }
    list->SetStrings(names);
    return 0;
}

LRESULT CLampPage::PageProc(UINT msg, WPARAM, LPARAM lParam)
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

bool CLampPage::IsPageSupported()
{
    return QueryCapability(form_.capability);
}
