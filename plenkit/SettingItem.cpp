#include "Plenkit.h"

SettingItem::SettingItem(int tag1, int tag2, int firstControlId, int controlCount, UINT kind, SettingOption* option)
    : Item(tag1, tag2, firstControlId, controlCount), kind_(kind), option_(option), shape_(Shape::Plain)
{
    VariantInit(&value_);
}

SettingItem::~SettingItem()
{
    (void)VariantClear(&value_);
    delete option_;
}

UINT SettingItem::InitType()
{
    return kind_;
}
LONG SettingItem::OnInitItem()
{
    return 0;
}

VARIANT SettingItem::GetItem()
{
    VARIANT copy;
    VariantInit(&copy);
    if (FAILED(VariantCopy(&copy, &value_)))
        VariantInit(&copy);
    return copy;
}

LONG SettingItem::SetItem(const VARIANT& value)
{
    VARIANT copy;
    VariantInit(&copy);
    const HRESULT hr = VariantCopy(&copy, const_cast<VARIANT*>(&value));
    if (FAILED(hr))
        return hr;
    (void)VariantClear(&value_);
    value_ = copy;
    return 0;
}

LONG SettingItem::OnCommand(UINT, UINT)
{
    return 0;
}
LRESULT SettingItem::DefWindowProcW(UINT, WPARAM, LPARAM)
{
    return 0;
}

LONG SettingItem::OnSettingChange()
{
    if (option_ == nullptr)
        return 0;
    (void)option_->OnSettingChange(value_);
    return option_->ApplyValue(value_);
}

UINT SettingItem::GetKind() const noexcept
{
    return kind_;
}
SettingOption* SettingItem::GetOption() const noexcept
{
    return option_;
}
bool SettingItem::IsListBox() const noexcept
{
    return shape_ == Shape::ListBox;
}
void SettingItem::SetShape(Shape shape) noexcept
{
    shape_ = shape;
}
VARIANT& SettingItem::Value() noexcept
{
    return value_;
}
