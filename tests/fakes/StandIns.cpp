#include "StandIns.h"
#include <tlhelp32.h>

namespace {

LONG instances = 0;

HKEY CreateKey(const std::wstring& path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

} // namespace

OwnDeviceState::OwnDeviceState()
    : key_(L"Software\\StandIns\\Tests\\SimButtonDevice-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(InterlockedIncrement(&instances)))
{
    SetEnvironmentVariableW(L"SIM_BUTTON_DEVICE_KEY", key_.c_str());
}

OwnDeviceState::~OwnDeviceState()
{
    SetEnvironmentVariableW(L"SIM_BUTTON_DEVICE_KEY", nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, key_.c_str());
}

void OwnDeviceState::SetNumber(const wchar_t* name, DWORD value) const
{
    unique_hkey key(CreateKey(key_));
    RegSetValueExW(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

void OwnDeviceState::SetText(const wchar_t* name, const std::wstring& value) const
{
    unique_hkey key(CreateKey(key_));
    RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void OwnDeviceState::SetLines(const wchar_t* name, const std::vector<std::wstring>& lines) const
{
    std::wstring data;
    for (const std::wstring& line : lines)
        data += line + L'\0';
    data += L'\0';
    unique_hkey key(CreateKey(key_));
    RegSetValueExW(key.get(), name, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size() * sizeof(wchar_t)));
}

DWORD OwnDeviceState::Number(LONG button, const wchar_t* name, DWORD fallback) const
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    const std::wstring path = key_ + L"\\Button" + std::to_wstring(button);
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS)
        return fallback;
    return value;
}

com_ptr<ISettingsService> ConnectToSettingsStandIn()
{
    // A server that has just ended may still be registered with COM for a
    // moment; an activation in that moment fails and a new one succeeds.
    com_ptr<ISettingsService> service;
    for (int attempt = 0; attempt < 50; ++attempt) {
        const HRESULT hr = CoCreateInstance(CLSID_SettingsService, nullptr, CLSCTX_LOCAL_SERVER, IID_ISettingsService,
                                            service.put_void());
        if (SUCCEEDED(hr) || hr == REGDB_E_CLASSNOTREG || hr == CO_E_NOTINITIALIZED)
            break;
        Sleep(100);
    }
    return service;
}

bool IsProcessRunning(const wchar_t* exeName)
{
    unique_handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot)
        return false;
    PROCESSENTRY32W entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry))
        if (_wcsicmp(entry.szExeFile, exeName) == 0)
            return true;
    return false;
}

bool WaitUntilNotRunning(const wchar_t* exeName, DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (IsProcessRunning(exeName)) {
        if (GetTickCount64() >= end)
            return false;
        Sleep(100);
    }
    return true;
}

DWORD RunBesideTests(const std::wstring& commandLine, DWORD timeoutMs)
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring line(path);
    line = line.substr(0, line.find_last_of(L'\\') + 1) + commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return static_cast<DWORD>(-1);
    unique_handle processHandle(process.hProcess);
    unique_handle thread(process.hThread);
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(processHandle.get(), timeoutMs) == WAIT_OBJECT_0)
        GetExitCodeProcess(processHandle.get(), &code);
    return code;
}
