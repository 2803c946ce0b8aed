#include <initguid.h>
#include "AccessibleName.h"
#include <objbase.h>
#include <oleacc.h>
#include "Guards.h"
#include "Handles.h"

namespace {

// The thread may have no apartment yet (or the other kind): the annotation
// itself outlives the service object, so a short-lived one is enough.
template <typename Call>
HRESULT WithPropServices(Call call) noexcept
{
    com_initialization com(COINIT_APARTMENTTHREADED);
    com_ptr<IAccPropServices> services;
    HRESULT hr = ::CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                    services.put_void());
    if (SUCCEEDED(hr))
        hr = call(*services.get());
    return hr;
}

}  // namespace

bool accessible_name::set(HWND control, const wchar_t* text) noexcept
{
    clear();
    if (control == nullptr || text == nullptr)
        return false;
    const HRESULT hr = WithPropServices([&](IAccPropServices& services) {
        return services.SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                                       text);
    });
    if (FAILED(hr))
        return false;
    control_ = control;
    return true;
}

void accessible_name::clear() noexcept
{
    if (control_ == nullptr)
        return;
    const HWND control = control_;
    control_ = nullptr;
    WithPropServices([&](IAccPropServices& services) {
        MSAAPROPID name = PROPID_ACC_NAME;
        return services.ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name, 1);
    });
}
