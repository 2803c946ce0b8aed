#pragma once
// The two objects the server hands out. Every service object works on the
// server's one store, so all clients see the same values.
#include <windows.h>
#include "SettingsServiceBase.h"

namespace sim {

class SettingsService final : public SettingsServiceBase
{
public:
    SettingsService();
    SettingsService(const SettingsService&) = delete;
    SettingsService& operator=(const SettingsService&) = delete;

    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // A value that was never set fails and leaves `value` as it was.
    HRESULT STDMETHODCALLTYPE GetValue(BSTR section, LONG index, VARIANT* value) override;
    // An empty VARIANT removes the value; anything else must convert to a 32-bit integer.
    HRESULT STDMETHODCALLTYPE SetValue(BSTR section, LONG index, VARIANT value) override;
    HRESULT STDMETHODCALLTYPE Reload() override;
    HRESULT STDMETHODCALLTYPE Commit() override;

private:
    ~SettingsService();
    bool Fails(const wchar_t* method) const;

    LONG references_ = 1;
    const DWORD client_;
};

class SettingsCompanion final : public SettingsCompanionBase
{
public:
    SettingsCompanion();
    SettingsCompanion(const SettingsCompanion&) = delete;
    SettingsCompanion& operator=(const SettingsCompanion&) = delete;

    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Reserved3() override;

private:
    ~SettingsCompanion();

    LONG references_ = 1;
    const DWORD client_;
};

}  // namespace sim
