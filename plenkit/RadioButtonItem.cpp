#include "Plenkit.h"

CRadioButtonItem::CRadioButtonItem(int tag1, int tag2, int firstControlId, int count, UINT kind,
                                   SettingOption* option)
    : SettingItem(tag1, tag2, firstControlId, count, kind, option)
{
    SetShape(Shape::RadioButtons);
}

CRadioButtonItem::~CRadioButtonItem() = default;

LONG CRadioButtonItem::OnInitItem()
{
    const VARIANT& value = Value();
    CheckButton(value.vt == VT_I4 ? value.lVal : -1);
    if (SettingOption* option = GetOption())
        (void)option->OnSetStart(value);
    return 0;
}

LONG CRadioButtonItem::SetItem(const VARIANT& value)
{
    const LONG result = SettingItem::SetItem(value);
    if (result == 0)
        CheckButton(Value().vt == VT_I4 ? Value().lVal : -1);
    return result;
}

LONG CRadioButtonItem::OnCommand(UINT controlId, UINT notifyCode)
{
    if (notifyCode != BN_CLICKED || !OwnsControl(static_cast<int>(controlId)))
        return 0;
    VARIANT& value = Value();
    (void)VariantClear(&value);
    value.vt = VT_I4;
    value.lVal = static_cast<LONG>(controlId) - GetFirstControlId();
    CheckButton(value.lVal);
    (void)OnSettingChange();
    return 1;
}

// Keeps exactly the chosen button checked (none for an index outside the group).
void CRadioButtonItem::CheckButton(LONG index)
{
    for (int i = 0; i < GetControlCount(); ++i)
        (void)SendMsg(static_cast<UINT>(i), BM_SETCHECK, i == index ? BST_CHECKED : BST_UNCHECKED, 0);
}
