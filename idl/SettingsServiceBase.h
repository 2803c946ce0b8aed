#pragma once
// Bases of the stand-in and the test fakes of the settings service and its
// companion: every slot answers E_NOTIMPL, placeholders included, so an
// implementation declares only the calls it takes and its own lifetime.
#include "InterfaceBase.h"
#include "SettingsService.h"

class SettingsServiceBase : public InterfaceBase<ISettingsService>
{
public:
    HRESULT STDMETHODCALLTYPE Reserved3() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved4() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved5() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved6() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reserved7() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetValue(BSTR, LONG, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetValue(BSTR, LONG, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Reload() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Commit() override { return E_NOTIMPL; }
};

class SettingsCompanionBase : public InterfaceBase<ISettingsCompanion>
{
public:
    HRESULT STDMETHODCALLTYPE Reserved3() override { return E_NOTIMPL; }
};
