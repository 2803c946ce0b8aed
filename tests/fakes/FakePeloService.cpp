#include "FakePeloService.h"
#include "PeloControlBase.h"

namespace {

FakePeloRecord* current = nullptr;
HRESULT(STDAPICALLTYPE* realCoCreateInstance)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*) = nullptr;

HRESULT STDAPICALLTYPE WatchedCoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid,
                                               LPVOID* object)
{
    ++current->creations;
    current->clsid = clsid;
    current->outerWasNull = outer == nullptr;
    current->context = context;
    current->iid = iid;
    if (current->creationAnswer != S_OK) {
        *object = nullptr;
        return current->creationAnswer;
    }
    return realCoCreateInstance(clsid, outer, context, iid, object);
}

class FakeControl final : public PeloControlBase
{
public:
    FakeControl() { ++current->live; }
    ~FakeControl() { --current->live; }

    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --refs_;
        if (left == 0)
            delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE QueryFunction(BSTR name, ULONG flags, VARIANT value, ULONG reserved) override
    {
        ++current->probes;
        current->probeName = name != nullptr ? name : L"";
        current->probeFlags = flags;
        current->probeValueType = value.vt;
        current->probeReserved = reserved;
        return current->probeAnswer;
    }
    HRESULT STDMETHODCALLTYPE ExecuteFunction(ULONG* inOut, BSTR name, ULONG param1, ULONG param2, ULONG flags,
                                              ULONG mode, BSTR callerId, VARIANT value) override
    {
        current->executes.push_back({inOut != nullptr ? *inOut : 0xDEAD, name != nullptr ? name : L"", param1, param2,
                                     flags, mode, callerId != nullptr ? callerId : L"", value.vt});
        return current->executeAnswer;
    }

private:
    ULONG refs_ = 1;
};

class FakeFactory final : public IClassFactory
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        *object = nullptr;
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        ++current->created;
        auto* control = new FakeControl;
        const HRESULT hr = control->QueryInterface(iid, object);
        control->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

FakeFactory factory;
FakePeloRecord fakeRecord;

}  // namespace

FakePeloService::FakePeloService()
{
    fakeRecord = FakePeloRecord();
    current = &fakeRecord;
    patch_ = std::make_unique<ImportPatch>(GetModuleHandleW(nullptr), "ole32.dll", "CoCreateInstance",
                                           reinterpret_cast<void*>(&WatchedCoCreateInstance));
    realCoCreateInstance = reinterpret_cast<decltype(realCoCreateInstance)>(patch_->original());
    if (FAILED(
            CoRegisterClassObject(CLSID_PeloControl, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_)))
        cookie_ = 0;
}

FakePeloService::~FakePeloService()
{
    if (cookie_ != 0)
        CoRevokeClassObject(cookie_);
    patch_.reset();
}

FakePeloRecord& FakePeloService::record() noexcept
{
    return *current;
}
