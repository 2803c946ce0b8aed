#pragma once
// A class factory for one object type. The factory lives as long as the
// module; Module supplies Lock()/Unlock() so the module knows when it may go
// (a DLL's DllCanUnloadNow, a server's exit).
#include <windows.h>
#include <objbase.h>
#include <new>
#include <type_traits>
#include "CallLog.h"
#include "Registry.h"

// A module may gate object creation (a local server that is ending refuses new
// objects): it then has EnterCreation() -> bool and LeaveCreation().
template <typename Module, typename = void>
struct CreationGate
{
    static bool Enter() { return true; }
    static void Leave() {}
};

template <typename Module>
struct CreationGate<Module, std::void_t<decltype(Module::EnterCreation())>>
{
    static bool Enter() { return Module::EnterCreation(); }
    static void Leave() { Module::LeaveCreation(); }
};

template <typename Object, typename Module>
class ClassFactory final : public IClassFactory
{
public:
    // Answers every CreateInstance with `failure` instead (a configured fault).
    void SetFailure(HRESULT failure) { failure_ = failure; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (out == nullptr)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        if (out == nullptr)
            return E_POINTER;
        *out = nullptr;
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        sim::LogCall(L"create", sim::GuidText(iid).c_str());
        if (FAILED(failure_))
            return failure_;
        if (!CreationGate<Module>::Enter())
            return CO_E_SERVER_STOPPING;
        HRESULT hr = E_OUTOFMEMORY;
        if (Object* object = new (std::nothrow) Object()) {
            hr = object->QueryInterface(iid, out);
            object->Release();  // the object starts with one reference of its own
        }
        CreationGate<Module>::Leave();
        return hr;
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock) {
            if (!CreationGate<Module>::Enter())
                return CO_E_SERVER_STOPPING;
            Module::Lock();
            CreationGate<Module>::Leave();
        } else {
            Module::Unlock();
        }
        return S_OK;
    }

private:
    HRESULT failure_ = S_OK;
};
