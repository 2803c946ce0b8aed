// Stand-in of the video-enhancement service: an in-process COM server for
// IPeloControl that answers the probe and records every mode it is sent.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <cstdio>
#include <cwchar>
#include <new>
#include <string>
#include "PeloControlBase.h"
#include "PeloStandIn.h"

namespace {

HMODULE thisModule = nullptr;
volatile LONG serverLocks = 0;
volatile LONG liveObjects = 0;

std::wstring ConfigKeyPath()
{
    wchar_t path[512];
    const DWORD length = GetEnvironmentVariableW(PELO_STANDIN_ENV, path, sizeof(path) / sizeof(path[0]));
    if (length > 0 && length < sizeof(path) / sizeof(path[0]))
        return path;
    return PELO_STANDIN_DEFAULT_KEY;
}

// The configuration and record key, created on first use.
class RecordKey
{
public:
    RecordKey()
    {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, ConfigKeyPath().c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                            &key_, nullptr) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~RecordKey()
    {
        if (key_ != nullptr)
            RegCloseKey(key_);
    }
    RecordKey(const RecordKey&) = delete;
    RecordKey& operator=(const RecordKey&) = delete;

    DWORD Get(const wchar_t* name, DWORD fallback) const
    {
        DWORD value = 0, type = REG_NONE, size = sizeof(value);
        if (key_ == nullptr ||
            RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
            type != REG_DWORD || size != sizeof(value))
            return fallback;
        return value;
    }
    void Set(const wchar_t* name, DWORD value) const
    {
        if (key_ != nullptr)
            RegSetValueExW(key_, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    }
    void Set(const wchar_t* name, const wchar_t* text) const
    {
        if (key_ != nullptr)
            RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                           static_cast<DWORD>((wcslen(text) + 1) * sizeof(wchar_t)));
    }
    void Count(const wchar_t* name) const { Set(name, Get(name, 0) + 1); }

private:
    HKEY key_ = nullptr;
};

const wchar_t* Text(BSTR text)
{
    return text != nullptr ? text : L"";
}

void AppendToLog(const std::wstring& line)
{
    wchar_t folder[MAX_PATH];
    if (FAILED(
            SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return;
    std::wstring path = std::wstring(folder) + L"\\" + PELO_STANDIN_LOG_FOLDER;
    SHCreateDirectoryExW(nullptr, path.c_str(), nullptr);
    path += L"\\" PELO_STANDIN_LOG_FILE;
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string utf8(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), &utf8[0], bytes, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
}

class PeloControl final : public PeloControlBase
{
public:
    PeloControl()
    {
        InterlockedIncrement(&liveObjects);
        RecordKey().Set(L"LiveObjects", static_cast<DWORD>(liveObjects));
    }
    ~PeloControl()
    {
        InterlockedDecrement(&liveObjects);
        RecordKey().Set(L"LiveObjects", static_cast<DWORD>(liveObjects));
    }

    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&refs_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE QueryFunction(BSTR name, ULONG flags, VARIANT value, ULONG reserved) override
    {
        RecordKey record;
        record.Count(L"ProbeCalls");
        record.Set(L"LastProbeName", Text(name));
        record.Set(L"LastProbeFlags", flags);
        record.Set(L"LastProbeValueType", value.vt);
        record.Set(L"LastProbeReserved", reserved);
        switch (record.Get(L"Probe", PELO_PROBE_OK)) {
        case PELO_PROBE_FAILS:
            return E_FAIL;
        case PELO_PROBE_HOLDS_BACK:
            return S_FALSE;
        default:
            return lstrcmpW(Text(name), L"QdrSetGamma") == 0 ? S_OK : E_NOTIMPL;
        }
    }

    HRESULT STDMETHODCALLTYPE ExecuteFunction(ULONG* inOut, BSTR name, ULONG param1, ULONG param2, ULONG flags,
                                              ULONG mode, BSTR callerId, VARIANT value) override
    {
        if (inOut == nullptr)
            return E_POINTER;
        if (lstrcmpW(Text(name), L"PeloTransform") != 0)
            return E_NOTIMPL;
        RecordKey record;
        record.Count(L"ExecuteCalls");
        record.Set(L"LastInOut", *inOut);
        record.Set(L"LastName", Text(name));
        record.Set(L"LastParam1", param1);
        record.Set(L"LastParam2", param2);
        record.Set(L"LastFlags", flags);
        record.Set(L"LastValueType", value.vt);
        record.Set(L"LastCaller", Text(callerId));
        record.Set(L"LastMode", mode);

        SYSTEMTIME now;
        GetLocalTime(&now);
        wchar_t line[512];
        swprintf(line, sizeof(line) / sizeof(line[0]),
                 L"%04u-%02u-%02u %02u:%02u:%02u process %lu mode %lu caller %ls in-out %lu name %ls flags 0x%08lX "
                 L"value-type %u\r\n",
                 now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, GetCurrentProcessId(),
                 static_cast<unsigned long>(mode), Text(callerId), static_cast<unsigned long>(*inOut), Text(name),
                 static_cast<unsigned long>(flags), static_cast<unsigned>(value.vt));
        AppendToLog(line);
        return S_OK;
    }

private:
    volatile LONG refs_ = 1;
};

class Factory final : public IClassFactory
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *object = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    // One static factory: its references keep the server loaded like locks do.
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&serverLocks)); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(InterlockedDecrement(&serverLocks)); }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (object == nullptr)
            return E_POINTER;
        *object = nullptr;
        if (outer != nullptr)
            return CLASS_E_NOAGGREGATION;
        auto* control = new (std::nothrow) PeloControl;
        if (control == nullptr)
            return E_OUTOFMEMORY;
        const HRESULT hr = control->QueryInterface(iid, object);
        control->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock)
            InterlockedIncrement(&serverLocks);
        else
            InterlockedDecrement(&serverLocks);
        return S_OK;
    }
};

Factory factory;

std::wstring ClassKey()
{
    wchar_t clsid[64];
    StringFromGUID2(CLSID_PeloControl, clsid, 64);
    return std::wstring(L"Software\\Classes\\CLSID\\") + clsid;
}

}  // namespace

extern "C" {

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object)
{
    if (object == nullptr)
        return E_POINTER;
    *object = nullptr;
    if (!IsEqualCLSID(clsid, CLSID_PeloControl))
        return CLASS_E_CLASSNOTAVAILABLE;
    if (RecordKey().Get(L"Absent", 0) != 0)
        return REGDB_E_CLASSNOTREG;
    return factory.QueryInterface(iid, object);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return liveObjects == 0 && serverLocks == 0 ? S_OK : S_FALSE;
}

HRESULT STDAPICALLTYPE DllRegisterServer()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(thisModule, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return E_FAIL;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, (ClassKey() + L"\\InprocServer32").c_str(), 0, nullptr, 0, KEY_WRITE,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return E_ACCESSDENIED;
    const wchar_t model[] = L"Both";
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path), (length + 1) * sizeof(wchar_t));
    RegSetValueExW(key, L"ThreadingModel", 0, REG_SZ, reinterpret_cast<const BYTE*>(model), sizeof(model));
    RegCloseKey(key);
    return S_OK;
}

HRESULT STDAPICALLTYPE DllUnregisterServer()
{
    const std::wstring key = ClassKey();
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, (key + L"\\InprocServer32").c_str());
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, key.c_str());
    return S_OK;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH) {
        thisModule = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

}  // extern "C"
