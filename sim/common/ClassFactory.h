#pragma once
// A class factory for one object type. The factory lives as long as the
// module; Module supplies Lock()/Unlock() so the module knows when it may go
// (a DLL's DllCanUnloadNow, a server's exit).
#include <windows.h>
#include <objbase.h>
#include <new>

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
        if (FAILED(failure_))
            return failure_;
        Object* object = new (std::nothrow) Object();
        if (object == nullptr)
            return E_OUTOFMEMORY;
        const HRESULT hr = object->QueryInterface(iid, out);
        object->Release();  // the object starts with one reference of its own
        return hr;
    }

    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock)
            Module::Lock();
        else
            Module::Unlock();
        return S_OK;
    }

private:
    HRESULT failure_ = S_OK;
};
