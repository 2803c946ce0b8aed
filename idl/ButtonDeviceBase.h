#pragma once
// Base of the stand-in and the test fakes of the special-button device: every
// slot of ISpecialButtonDevice answers E_NOTIMPL, placeholders included, so an
// implementation declares only the calls it takes and its own lifetime.
#include "InterfaceBase.h"
#include "MouseButtonDevice.h"

class ButtonDeviceBase : public InterfaceBase<ISpecialButtonDevice>
{
public:
    HRESULT STDMETHODCALLTYPE Reserved3() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved4() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved5() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved6() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved7() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BeginRead() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved9() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE NextFunction(ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetApplicationFunction(LONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetAssignedFunction(LONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAssignedFunction(LONG, ULONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetButtonInfo(LONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE NextButton(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFunctionName(ULONG, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved17() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved18() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFunctionType(ULONG, LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetApplication(BSTR, BSTR, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetActionTarget(ULONG, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetApplication(ULONG, BSTR*, BSTR*, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved23() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetKeyCombination(ULONG, ULONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetKeyCombination(ULONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Prepare(LONG) override { return E_NOTIMPL; }
};
