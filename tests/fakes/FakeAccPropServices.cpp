#include <initguid.h>
#include "FakeAccPropServices.h"

std::wstring FakeAccPropServices::Name(HWND window) const
{
    const auto found = names_.find(window);
    return found == names_.end() ? std::wstring() : found->second;
}

HRESULT FakeAccPropServices::QueryInterface(REFIID iid, void** out)
{
    if (out == nullptr)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IAccPropServices) {
        *out = static_cast<IAccPropServices*>(this);
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT FakeAccPropServices::SetHwndPropStr(HWND hwnd, DWORD idObject, DWORD idChild, MSAAPROPID idProp, LPCWSTR str)
{
    // A name on anything but the control's own client object would not be read for the control.
    if (idObject != static_cast<DWORD>(OBJID_CLIENT) || idChild != CHILDID_SELF || idProp != PROPID_ACC_NAME ||
        str == nullptr)
        return Other();
    names_[hwnd] = str;
    return S_OK;
}

HRESULT FakeAccPropServices::ClearHwndProps(HWND hwnd, DWORD idObject, DWORD idChild, const MSAAPROPID* props,
                                            int count)
{
    if (idObject != static_cast<DWORD>(OBJID_CLIENT) || idChild != CHILDID_SELF || props == nullptr || count < 1)
        return Other();
    for (int i = 0; i < count; ++i) {
        if (props[i] == PROPID_ACC_NAME && names_.erase(hwnd) > 0)
            ++cleared_;
    }
    return S_OK;
}
