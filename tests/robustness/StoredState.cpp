#include "StoredState.h"
#include <algorithm>
#include <cstdio>
#include <vector>
#include "ComTestSupport.h"
#include "Handles.h"
#include "KeyNames.h"
#include "support/ChildProcess.h"
#include "SettingsConnection.h"

namespace {

const wchar_t settingsServer[] = L"SimSettingsService.exe";
const wchar_t settingsConfigKey[] = L"Software\\StandIns\\SimSettingsService";

std::wstring ButtonKey(const OwnDeviceState& device, LONG button)
{
    return device.Key() + L"\\Button" + std::to_wstring(button);
}

std::wstring ReadText(const std::wstring& key, const wchar_t* name)
{
    wchar_t text[4096] = L"";
    DWORD size = sizeof(text);
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return L"<none>";
    return text;
}

DWORD ReadNumber(const std::wstring& key, const wchar_t* name)
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return 0xFFFFFFFF;
    return value;
}

void WriteText(const std::wstring& key, const wchar_t* name, const std::wstring& text)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_SZ, text.c_str(),
                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void WriteNumber(const std::wstring& key, const wchar_t* name, DWORD value)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_DWORD, &value, sizeof(value));
}

std::string Narrowed(const std::wstring& text)
{
    return Narrow(text.size() > 80 ? text.substr(0, 80) + L"..." : text);
}

}  // namespace

bool StoredButton::operator==(const StoredButton& other) const
{
    return assignedFunction == other.assignedFunction && applicationPath == other.applicationPath &&
           applicationArguments == other.applicationArguments && applicationFolder == other.applicationFolder &&
           keyCombination == other.keyCombination;
}

std::string Describe(const StoredButton& button)
{
    char key[16];
    std::snprintf(key, sizeof(key), "0x%08lX", static_cast<unsigned long>(button.keyCombination));
    return "function " + std::to_string(button.assignedFunction) + ", program \"" + Narrowed(button.applicationPath) +
           "\" \"" + Narrowed(button.applicationArguments) + "\" in \"" + Narrowed(button.applicationFolder) +
           "\", keys " + key;
}

StoredButton SeedButton(LONG button)
{
    StoredButton state;
    if (button == 1) {
        state.assignedFunction = 201;  // its own key combination: Ctrl + C
        state.keyCombination = KeyCombination::Pack(0, VK_CONTROL, KeyLetter, 'C');
        state.applicationPath = L"C:\\windows\\system32\\control.exe";
        state.applicationArguments = L"desk.cpl";
        state.applicationFolder = L"C:\\windows\\system32";
    } else {
        state.assignedFunction = 102;  // its own program
        state.applicationPath = L"C:\\windows\\notepad.exe";
        state.applicationArguments = L"/a \"b c\"";
        state.applicationFolder = L"C:\\windows";
        state.keyCombination = KeyCombination::Pack(VK_SHIFT, VK_CONTROL, KeyFunction, VK_F5);
    }
    return state;
}

void WriteButton(const OwnDeviceState& device, LONG button, const StoredButton& state)
{
    const std::wstring key = ButtonKey(device, button);
    WriteNumber(key, L"AssignedFunction", state.assignedFunction);
    WriteText(key, L"ApplicationPath", state.applicationPath);
    WriteText(key, L"ApplicationArguments", state.applicationArguments);
    WriteText(key, L"ApplicationFolder", state.applicationFolder);
    WriteNumber(key, L"KeyCombination", state.keyCombination);
}

StoredButton ReadButton(const OwnDeviceState& device, LONG button)
{
    const std::wstring key = ButtonKey(device, button);
    StoredButton state;
    state.assignedFunction = ReadNumber(key, L"AssignedFunction");
    state.applicationPath = ReadText(key, L"ApplicationPath");
    state.applicationArguments = ReadText(key, L"ApplicationArguments");
    state.applicationFolder = ReadText(key, L"ApplicationFolder");
    state.keyCombination = ReadNumber(key, L"KeyCombination");
    return state;
}

std::string Describe(const SettingsValues& values)
{
    std::string text = "{";
    for (size_t i = 0; i < values.size(); ++i)
        text += (i ? ", " : "") + (values[i] == -1 ? std::string("none") : std::to_string(values[i]));
    return text + "}";
}

StoredSettings::StoredSettings()
{
    found_ = Committed();
    read_ = true;
}

StoredSettings::~StoredSettings()
{
    if (read_)
        (void)Commit(found_);
    service_.reset();
}

ISettingsService* StoredSettings::Service()
{
    if (!service_)
        service_ = ConnectToSettingsStandIn();
    return service_.get();
}

bool StoredSettings::Commit(const SettingsValues& values)
{
    ISettingsService* service = Service();
    if (service == nullptr)
        return false;
    unique_bstr section(SysAllocString(TarvixSettingsSection));
    bool ok = true;
    for (LONG index = 1; index <= 4; ++index) {
        VARIANT value;
        VariantInit(&value);
        if (values[index - 1] != -1) {
            V_VT(&value) = VT_INT;
            V_INT(&value) = values[index - 1];
        }
        ok = service->SetValue(section.get(), index, value) == S_OK && ok;
    }
    return service->Commit() == S_OK && ok;
}

SettingsValues StoredSettings::Committed()
{
    SettingsValues values;
    values.fill(-1);
    ISettingsService* service = Service();
    if (service == nullptr || service->Reload() != S_OK)
        return values;
    unique_bstr section(SysAllocString(TarvixSettingsSection));
    for (LONG index = 1; index <= 4; ++index) {
        unique_variant value;
        V_VT(value.get()) = VT_INT;
        V_INT(value.get()) = -1;
        if (service->GetValue(section.get(), index, value.get()) == S_OK && V_VT(value.get()) == VT_INT)
            values[index - 1] = V_INT(value.get());
    }
    return values;
}

bool CrashSettingsServer(DWORD timeoutMs)
{
    // Every server process that runs now: the one the dialog holds, and perhaps an
    // earlier one on its way out. They share the one auto-reset crash event, which
    // only a server that still serves takes, so it is set again until all have ended.
    std::vector<unique_handle> servers = OpenProcesses(settingsServer);
    unique_handle crash(OpenEventW(EVENT_MODIFY_STATE, FALSE, L"SimSettingsService-Crash"));
    if (servers.empty() || !crash)
        return false;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!servers.empty()) {
        SetEvent(crash.get());
        std::vector<HANDLE> waits;
        for (const unique_handle& server : servers)
            waits.push_back(server.get());
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        const DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 1000));
        const DWORD ended = WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, slice);
        if (ended == WAIT_FAILED)
            return false;
        if (ended < WAIT_OBJECT_0 + waits.size())
            servers.erase(servers.begin() + (ended - WAIT_OBJECT_0));
    }
    return true;
}

bool SettingsServerGone(DWORD timeoutMs)
{
    return WaitUntilNotRunning(settingsServer, timeoutMs);
}

FailingSettingsServer::FailingSettingsServer(const wchar_t* methods)
{
    if (!SettingsServerGone())
        return;
    // A server whose objects cannot be created never has one to lose, so only
    // its idle time ends it: a short one keeps the tests quick.
    const DWORD idleSeconds = 2;
    ready_ = RegSetKeyValueW(HKEY_CURRENT_USER, settingsConfigKey, L"FailMethod", REG_SZ, methods,
                             static_cast<DWORD>((wcslen(methods) + 1) * sizeof(wchar_t))) == ERROR_SUCCESS &&
             RegSetKeyValueW(HKEY_CURRENT_USER, settingsConfigKey, L"IdleTimeoutSeconds", REG_DWORD, &idleSeconds,
                             sizeof(idleSeconds)) == ERROR_SUCCESS;
}

FailingSettingsServer::~FailingSettingsServer()
{
    // A server that still runs keeps failing until it ends; the next one reads the cleared values.
    (void)SettingsServerGone();
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, settingsConfigKey, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
        RegDeleteValueW(key, L"FailMethod");
        RegDeleteValueW(key, L"IdleTimeoutSeconds");
        RegCloseKey(key);
    }
}
