#include "PeloInterface.h"
#include "ComException.h"
#include "Handles.h"
#include "PeloControl.h"

namespace {

// In-process, handler, local and remote servers alike.
constexpr DWORD serviceContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER |
                                 CLSCTX_REMOTE_SERVER;
constexpr ULONG probeFlags = 0xE8000000;
constexpr ULONG transformFlags = 0x0F000001;
constexpr ULONG transformInOut = 252;

unique_bstr AllocOrThrow(const wchar_t* text)
{
    unique_bstr string(SysAllocString(text));
    if (!string)
        ThrowComError(E_OUTOFMEMORY);
    return string;
}

}  // namespace

static_assert(serviceContext == 0x17, "the service may live in any kind of server");

CPeloInterface::~CPeloInterface() = default;

HRESULT CPeloInterface::Connect()
{
    if (control)
        return S_FALSE;
    const HRESULT created = CoCreateInstance(CLSID_PeloControl, nullptr, serviceContext, IID_IPeloControl,
                                             control.put_void());
    if (FAILED(created)) {
        (void)control.detach();  // whatever a failed creation left there is not ours to release
        return created;
    }

    unique_variant value;
    unique_bstr name = AllocOrThrow(L"QdrSetGamma");
    const HRESULT probed = control->QueryFunction(name.get(), probeFlags, *value.get(), 0);
    name.reset();
    (void)value.put();
    if (FAILED(probed))
        Disconnect();
    return probed;
}

void CPeloInterface::Disconnect()
{
    control.reset();
}

HRESULT CPeloInterface::Transform(DWORD mode, const wchar_t* callerId)
{
    if (!control)
        return E_FAIL;
    ULONG inOut = transformInOut;
    unique_bstr name = AllocOrThrow(L"PeloTransform");

    // Built and freed, but the call itself carries an empty value.
    unique_variant bytes;
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, 0);
    if (array == nullptr)
        return E_FAIL;
    bytes->vt = VT_ARRAY | VT_UI1;
    bytes->parray = array;

    unique_bstr caller = AllocOrThrow(callerId);
    unique_variant empty;
    return control->ExecuteFunction(&inOut, name.get(), 0, 0, transformFlags, mode, caller.get(), *empty.get());
}
