#include "Plenkit.h"

Item::Item(int tag1, int tag2, int firstControlId, int controlCount)
    : tag1_(tag1), tag2_(tag2), firstControlId_(firstControlId), controlCount_(controlCount < 0 ? 0 : controlCount),
      page_(nullptr)
{
}

Item::~Item() = default;

int Item::GetTag1() const noexcept
{
    return tag1_;
}
int Item::GetTag2() const noexcept
{
    return tag2_;
}
int Item::GetFirstControlId() const noexcept
{
    return firstControlId_;
}
int Item::GetControlCount() const noexcept
{
    return controlCount_;
}

bool Item::OwnsControl(int controlId) const noexcept
{
    // A list item names one control and passes a count of 0.
    const int count = controlCount_ > 0 ? controlCount_ : 1;
    return controlId >= firstControlId_ && controlId - firstControlId_ < count;
}

void Item::Attach(HWND page) noexcept
{
    page_ = page;
}
HWND Item::GetPage() const noexcept
{
    return page_;
}

HWND Item::GetControl(UINT index) const noexcept
{
    if (page_ == nullptr)
        return nullptr;
    const int count = controlCount_ > 0 ? controlCount_ : 1;
    if (index >= static_cast<UINT>(count))
        return nullptr;
    return GetDlgItem(page_, firstControlId_ + static_cast<int>(index));
}

LONG_PTR Item::SendMsg(UINT index, UINT msg, UINT_PTR wParam, LONG_PTR lParam)
{
    HWND control = GetControl(index);
    if (control == nullptr)
        return 0;
    return SendMessageW(control, msg, wParam, lParam);
}
