#pragma once
// What every stand-in and test fake of one outside interface shares: the
// QueryInterface that hands out that interface (and IUnknown) and nothing else.
// Implementations add their own lifetime (AddRef, Release).
#include <windows.h>
#include <unknwn.h>

template <class Interface>
class InterfaceBase : public Interface
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(Interface))) {
            *object = static_cast<Interface*>(this);
            this->AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

protected:
    InterfaceBase() = default;
    ~InterfaceBase() = default;  // each implementation deletes itself as what it is
};
