#include "StandIns.h"
#include <gtest/gtest.h>
#include <algorithm>
#include "support/ChildProcess.h"
#include "support/TestPaths.h"

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

}  // namespace

OwnDeviceState::OwnDeviceState()
    : key_(L"Software\\StandIns\\Tests\\SimButtonDevice-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(InterlockedIncrement(&instances)))
{
    // Process ids come round again in a prefix that lives on: whatever a process
    // of the same id left behind (one that crashed or was ended) is not ours.
    RegDeleteTreeW(HKEY_CURRENT_USER, key_.c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, key_.c_str());
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

std::wstring OwnDeviceState::Text(LONG button, const wchar_t* name, const std::wstring& fallback) const
{
    wchar_t value[1024] = L"";
    DWORD size = sizeof(value);
    const std::wstring path = key_ + L"\\Button" + std::to_wstring(button);
    if (RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return fallback;
    return value;
}

namespace {

const wchar_t settingsServer[] = L"SimSettingsService.exe";
const wchar_t settingsConfigKey[] = L"Software\\StandIns\\SimSettingsService";

// The server was ending when the activation reached it, or had just gone.
bool ServerWasEnding(HRESULT hr)
{
    switch (hr) {
    case CO_E_SERVER_STOPPING:
    case CO_E_OBJNOTCONNECTED:
    case RPC_E_DISCONNECTED:
    case RPC_E_SERVER_DIED:
    case RPC_E_SERVER_DIED_DNE:
    case E_NOINTERFACE:  // Wine: the registration it found went with its server
    case HRESULT_FROM_WIN32(RPC_S_SERVER_UNAVAILABLE):
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED):
    case HRESULT_FROM_WIN32(RPC_S_CALL_FAILED_DNE):
        return true;
    default:
        return false;
    }
}

}  // namespace

com_ptr<ISettingsService> ConnectToSettingsStandIn()
{
    // The stand-in never hands out an object of a server that is ending: an
    // activation that reaches one in that moment fails. That server ran before
    // the activation; once it has gone, COM starts a new one for the next.
    com_ptr<ISettingsService> service;
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::vector<unique_handle> before = OpenProcesses(settingsServer);
        const HRESULT hr = CoCreateInstance(CLSID_SettingsService, nullptr, CLSCTX_LOCAL_SERVER, IID_ISettingsService,
                                            service.put_void());
        if (SUCCEEDED(hr) || !ServerWasEnding(hr))
            break;
        if (before.empty())
            continue;  // the server this activation started is the one that went
        std::vector<HANDLE> waitOn;
        for (const unique_handle& process : before)
            if (waitOn.size() < MAXIMUM_WAIT_OBJECTS)
                waitOn.push_back(process.get());
        if (WaitForMultipleObjects(static_cast<DWORD>(waitOn.size()), waitOn.data(), FALSE, 60000) == WAIT_TIMEOUT) {
            ADD_FAILURE() << "the settings server that refused an activation (0x" << std::hex << hr
                          << ") did not end within 60 s";
            break;
        }
    }
    return service;
}

ServerIdleTime::ServerIdleTime(DWORD seconds)
{
    DWORD size = sizeof(previous_);
    had_ = RegGetValueW(HKEY_CURRENT_USER, settingsConfigKey, L"IdleTimeoutSeconds", RRF_RT_REG_DWORD, nullptr,
                        &previous_, &size) == ERROR_SUCCESS;
    Write(seconds);
}

ServerIdleTime::~ServerIdleTime()
{
    if (had_) {
        Write(previous_);
        return;
    }
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, settingsConfigKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, L"IdleTimeoutSeconds");
        RegCloseKey(key);
    }
}

void ServerIdleTime::Write(DWORD seconds)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, settingsConfigKey, L"IdleTimeoutSeconds", REG_DWORD, &seconds,
                    sizeof(seconds));
}


DWORD RunBesideTests(const std::wstring& commandLine, DWORD timeoutMs)
{
    // Ended by ChildProcess when it did not end in time: not left running for the tests that come after.
    const ChildProcess program(BinFile(L"") + commandLine);
    return program.Started() ? program.WaitForExit(timeoutMs) : static_cast<DWORD>(-1);
}
