#include "Plenkit.h"
#include "Guards.h"

PluginClass::PluginClass(UINT titleId, UINT descriptionId, UINT dialogId, const CString& identity)
    : titleId_(titleId), descriptionId_(descriptionId), dialogId_(dialogId), category_(0), identity_(identity),
      window_(nullptr)
{
}

PluginClass::~PluginClass()
{
    for (INT_PTR i = items_.GetSize() - 1; i >= 0; --i)
        delete items_[i];
}

LONG PluginClass::InitPage()
{
    return 0;
}
LRESULT PluginClass::PageProc(UINT, WPARAM, LPARAM)
{
    return 0;
}
bool PluginClass::IsPageSupported()
{
    return true;
}

void PluginClass::SetCategory(UINT category) noexcept
{
    category_ = category;
}
UINT PluginClass::GetCategory() const noexcept
{
    return category_;
}
UINT PluginClass::GetTitleId() const noexcept
{
    return titleId_;
}
UINT PluginClass::GetDescriptionId() const noexcept
{
    return descriptionId_;
}
UINT PluginClass::GetDialogId() const noexcept
{
    return dialogId_;
}
const CString& PluginClass::GetIdentity() const noexcept
{
    return identity_;
}

INT_PTR PluginClass::GetItemCount() const noexcept
{
    return items_.GetSize();
}
SettingItem* PluginClass::GetItemAt(INT_PTR index) const
{
    return items_[index];
}

SettingItem* PluginClass::FindItem(int controlId) const noexcept
{
    for (INT_PTR i = 0; i < items_.GetSize(); ++i) {
        SettingItem* item = items_.GetAt(i);
        if (item->OwnsControl(controlId))
            return item;
    }
    return nullptr;
}

void PluginClass::AttachWindow(HWND page)
{
    window_ = page;
    if (window_ == nullptr)
        return;
    for (INT_PTR i = 0; i < positions_.GetSize(); ++i)
        (void)MoveControl(positions_[i]);
}

HWND PluginClass::GetWindow() const noexcept
{
    return window_;
}

const CArray<PluginClass::ControlPos>& PluginClass::GetControlPositions() const noexcept
{
    return positions_;
}

LONG PluginClass::SetControlPos(UINT id, UINT x, UINT y, UINT cx, UINT cy)
{
    const ControlPos pos{id, x, y, cx, cy};
    positions_.Add(pos);
    return window_ != nullptr && MoveControl(pos) ? 1 : 0;
}

void PluginClass::RegisterItem(SettingItem* item)
{
    if (item == nullptr)
        return;
    try {
        items_.Add(item);
    } catch (...) {
        delete item;  // handed over: not leaked when the list cannot grow
        throw;
    }
}

bool PluginClass::MoveControl(const ControlPos& pos) const
{
    HWND control = GetDlgItem(window_, static_cast<int>(pos.id));
    if (control == nullptr)
        return false;
    return MoveWindow(control, PlenkitScale(pos.x, false), PlenkitScale(pos.y, true), PlenkitScale(pos.cx, false),
                      PlenkitScale(pos.cy, true), TRUE) != FALSE;
}

namespace {

constexpr int designDpi = 96;

// The screen's resolution along one axis (LOGPIXELSX or LOGPIXELSY).
int ScreenDpi(int axis)
{
    window_dc screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.get(), axis) : designDpi;
    return dpi > 0 ? dpi : designDpi;
}

}  // namespace

int PlenkitScale(UINT value, bool vertical)
{
    static const int dpiX = ScreenDpi(LOGPIXELSX);
    static const int dpiY = ScreenDpi(LOGPIXELSY);
    return MulDiv(static_cast<int>(value), vertical ? dpiY : dpiX, designDpi);
}
