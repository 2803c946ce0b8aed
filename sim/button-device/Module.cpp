// Entry points of the in-process server.
#include <windows.h>
#include <olectl.h>
#include <string>
#include "ButtonDevice.h"
#include "ClassFactory.h"
#include "Registry.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace {

ClassFactory<sim::ButtonDevice, sim::DeviceModule> factory;

std::wstring ClassKey()
{
    return L"CLSID\\" + sim::GuidText(CLSID_SpecialButtonDevice);
}

LONG SetText(HKEY key, const wchar_t* name, const std::wstring& value)
{
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    if (out == nullptr)
        return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_SpecialButtonDevice))
        return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return sim::DeviceModule::InUse() ? S_FALSE : S_OK;
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer()
{
    const std::wstring path = sim::ModulePath(reinterpret_cast<HMODULE>(&__ImageBase));
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, (ClassKey() + L"\\InprocServer32").c_str(), 0, nullptr, 0, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return SELFREG_E_CLASS;
    // Both: a caller in either apartment model gets the object itself, unmarshaled.
    const bool written = SetText(key, nullptr, path) == ERROR_SUCCESS &&
                         SetText(key, L"ThreadingModel", L"Both") == ERROR_SUCCESS;
    RegCloseKey(key);
    return written ? S_OK : SELFREG_E_CLASS;
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    const LONG result = RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey().c_str());
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND ? S_OK : SELFREG_E_CLASS;
}
