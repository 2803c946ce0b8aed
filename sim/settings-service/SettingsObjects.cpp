#include "SettingsObjects.h"
#include <string>
#include "CallLog.h"
#include "Server.h"

namespace sim {

namespace {

std::wstring Text(BSTR text)
{
    return text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

}  // namespace

SettingsService::SettingsService() : client_(CallerProcessId())
{
    TheServer().lifetime.Lock();
    TheServer().lifetime.AddClient(client_);
}

SettingsService::~SettingsService()
{
    TheServer().lifetime.RemoveClient(client_);
    TheServer().lifetime.Unlock();
}

ULONG SettingsService::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG SettingsService::Release()
{
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

bool SettingsService::Fails(const wchar_t* method) const
{
    TheServer().lifetime.Touch();
    LogCall(L"settings", method);
    return TheServer().config.failures.Fails(method);
}

HRESULT SettingsService::GetValue(BSTR section, LONG index, VARIANT* value)
{
    if (Fails(L"GetValue"))
        return E_FAIL;
    if (value == nullptr)
        return E_POINTER;
    INT32 stored = 0;
    if (!TheServer().store.Get(Text(section), index, stored))
        return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    const HRESULT cleared = VariantClear(value);
    if (FAILED(cleared))
        return cleared;
    V_VT(value) = VT_INT;
    V_INT(value) = stored;
    return S_OK;
}

HRESULT SettingsService::SetValue(BSTR section, LONG index, VARIANT value)
{
    if (Fails(L"SetValue"))
        return E_FAIL;
    const std::wstring name = Text(section);
    if (!SettingsStore::IsValidSection(name))
        return E_INVALIDARG;
    if (V_VT(&value) == VT_EMPTY) {
        TheServer().store.Remove(name, index);
        return S_OK;
    }
    VARIANT number;
    VariantInit(&number);
    if (FAILED(VariantChangeType(&number, &value, 0, VT_I4)))
        return DISP_E_TYPEMISMATCH;
    TheServer().store.Set(name, index, V_I4(&number));
    return S_OK;
}

HRESULT SettingsService::Reload()
{
    if (Fails(L"Reload"))
        return E_FAIL;
    return TheServer().store.Reload();
}

HRESULT SettingsService::Commit()
{
    if (Fails(L"Commit"))
        return E_FAIL;
    return TheServer().store.Commit();
}

SettingsCompanion::SettingsCompanion() : client_(CallerProcessId())
{
    TheServer().lifetime.Lock();
    TheServer().lifetime.AddClient(client_);
}

SettingsCompanion::~SettingsCompanion()
{
    TheServer().lifetime.RemoveClient(client_);
    TheServer().lifetime.Unlock();
}

ULONG SettingsCompanion::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG SettingsCompanion::Release()
{
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT SettingsCompanion::Reserved3()
{
    TheServer().lifetime.Touch();
    return S_OK;
}

}  // namespace sim
