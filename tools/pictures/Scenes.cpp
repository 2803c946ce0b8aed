#include "Scenes.h"
#include <functional>
#include "Handles.h"
#include "KeyNames.h"
#include "ProcessReadings.h"
#include "SettingsConnection.h"
#include "support/ChildProcess.h"
#include "support/TestPaths.h"
#include "tarvix/resource.h"

namespace {

const wchar_t tarvixTitle[] = L"Tarvix Button Utility";
const wchar_t hostTitle[] = L"Corvane Settings";
const wchar_t sampleProgram[] = L"C:\\windows\\notepad.exe";
constexpr DWORD windowTimeoutMs = 60000;
constexpr DWORD closeTimeoutMs = 10000;

// The button device keeps this scene's assignment under a key of its own,
// which the program inherits through the environment.
class SceneDevice
{
public:
    explicit SceneDevice(const std::wstring& scene) : path_(L"Software\\StandIns\\Pictures\\" + scene)
    {
        (void)RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str());
        SetEnvironmentVariableW(L"SIM_BUTTON_DEVICE_KEY", path_.c_str());
    }
    ~SceneDevice() { (void)RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }
    SceneDevice(const SceneDevice&) = delete;
    SceneDevice& operator=(const SceneDevice&) = delete;

    void SetNumber(const wchar_t* subKey, const wchar_t* name, DWORD value) const
    {
        unique_hkey key(Open(subKey));
        if (key)
            RegSetValueExW(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    }
    void SetText(const wchar_t* subKey, const wchar_t* name, const wchar_t* text) const
    {
        unique_hkey key(Open(subKey));
        if (key)
            RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                           static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(wchar_t)));
    }

private:
    HKEY Open(const wchar_t* subKey) const
    {
        const std::wstring path = *subKey != L'\0' ? path_ + L"\\" + subKey : path_;
        HKEY key = nullptr;
        return RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
                       ERROR_SUCCESS
                   ? key
                   : nullptr;
    }

    std::wstring path_;
};

// Whether the dialog opens with a preset governing both buttons.
void StorePresetActive(bool active)
{
    (void)CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (SettingsConnection* settings = GetSettingsConnection()) {
        (void)WriteIntSetting(settings, SettingsIndex::PresetActive, active ? 1 : 0);
        (void)CommitSettings(settings);
    }
    ReleaseSettingsConnection();
    CoUninitialize();
}

// Polled: the window is another process's, and nothing signals its last paint.
HWND WaitForPaintedWindow(const ChildProcess& process, const std::function<HWND()>& find)
{
    const ULONGLONG end = GetTickCount64() + windowTimeoutMs;
    while (GetTickCount64() < end) {
        HWND window = find();
        if (window != nullptr && Painted(window))
            return window;
        if (process.WaitForExit(50) != STILL_ACTIVE)
            break;
    }
    return nullptr;
}

struct OwnedSearch
{
    DWORD pid;
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchOwned(HWND window, LPARAM param)
{
    auto& search = *reinterpret_cast<OwnedSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search.pid || !IsWindowVisible(window) || GetWindow(window, GW_OWNER) != search.owner)
        return TRUE;
    search.found = window;
    return FALSE;
}

// The dialog that `owner` opened, whatever the language captions it.
HWND FindOwnedWindow(DWORD pid, HWND owner)
{
    OwnedSearch search{pid, owner, nullptr};
    EnumWindows(MatchOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void InstallSampleApplications()
{
    for (const wchar_t* product : {L"Software\\Kelvor Corporation\\Marlow Digital",
                                   L"Software\\Kelvor Corporation\\Ardent Media plus"}) {
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, product, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
            ERROR_SUCCESS)
            RegCloseKey(key);
    }
}

bool IsHostScene(const std::wstring& name) { return name.rfind(L"host-", 0) == 0; }

} // namespace

const std::vector<std::wstring>& SceneNames()
{
    static const std::vector<std::wstring> names = {L"main-own",       L"main-preset",    L"key-combination",
                                                    L"application-chooser", L"error-box", L"host-logo-lamp",
                                                    L"host-lamp-brightness"};
    return names;
}

struct Scene::State
{
    std::unique_ptr<SceneDevice> device;
    std::unique_ptr<ChildProcess> process;
};

Scene::Scene(const std::wstring& name) : state_(new State), name_(name)
{
    if (IsHostScene(name)) {
        if (name != L"host-logo-lamp" && name != L"host-lamp-brightness") {
            error_ = "unknown scene";
            return;
        }
        InstallSampleApplications();
        const std::wstring arguments =
            Quoted(BinFile(L"Peryl.dll")) + L" /page:" + (name == L"host-logo-lamp" ? L"0" : L"1");
        state_->process.reset(new ChildProcess(ProgramLine(L"PlenkitHost.exe", arguments)));
        const DWORD pid = state_->process->Id();
        main_ = WaitForPaintedWindow(*state_->process, [pid] { return FindProcessWindow(pid, nullptr, hostTitle); });
        shown_ = main_;
        if (shown_ == nullptr)
            error_ = "the host showed no window";
        return;
    }

    state_->device.reset(new SceneDevice(name));
    const SceneDevice& device = *state_->device;
    bool openSettings = false;
    if (name == L"main-own") {
        device.SetNumber(L"Button1", L"AssignedFunction", 201);
        device.SetNumber(L"Button1", L"KeyCombination", KeyCombination::Pack(VK_CONTROL, VK_SHIFT, KeyLetter, 'S'));
        device.SetNumber(L"Button2", L"AssignedFunction", 102);
        device.SetText(L"Button2", L"ApplicationPath", sampleProgram);
        StorePresetActive(false);
    } else if (name == L"main-preset") {
        device.SetNumber(L"Button1", L"AssignedFunction", 58);
        device.SetNumber(L"Button2", L"AssignedFunction", 59);
        StorePresetActive(true);
    } else if (name == L"key-combination") {
        device.SetNumber(L"Button1", L"AssignedFunction", 201);
        device.SetNumber(L"Button1", L"KeyCombination", KeyCombination::Pack(VK_CONTROL, VK_SHIFT, KeyLetter, 'S'));
        StorePresetActive(false);
        openSettings = true;
    } else if (name == L"application-chooser") {
        device.SetNumber(L"Button1", L"AssignedFunction", 101);
        device.SetText(L"Button1", L"ApplicationPath", sampleProgram);
        device.SetText(L"Button1", L"ApplicationArguments", L"C:\\users\\Public\\notes.txt");
        device.SetText(L"Button1", L"ApplicationFolder", L"C:\\users\\Public");
        StorePresetActive(false);
        openSettings = true;
    } else if (name == L"error-box") {
        device.SetNumber(L"", L"ButtonCount", 0);
    } else {
        error_ = "unknown scene";
        return;
    }

    state_->process.reset(new ChildProcess(ProgramLine(L"TarvixUtility.exe")));
    const DWORD pid = state_->process->Id();
    main_ = WaitForPaintedWindow(*state_->process, [pid] { return FindProcessWindow(pid, nullptr, tarvixTitle); });
    if (main_ == nullptr) {
        error_ = "TarvixUtility showed no window";
        return;
    }
    shown_ = main_;
    if (openSettings) {
        HWND button = GetDlgItem(main_, IDC_BUTTON0_SETTINGS);
        // Posted: the button opens a modal dialog and would not answer until it closed.
        PostMessageW(main_, WM_COMMAND, MAKEWPARAM(IDC_BUTTON0_SETTINGS, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        HWND owner = main_;
        shown_ = WaitForPaintedWindow(*state_->process, [pid, owner] { return FindOwnedWindow(pid, owner); });
        if (shown_ == nullptr)
            error_ = "the settings button opened no dialog";
    }
}

Scene::~Scene()
{
    if (!state_->process)
        return;
    if (main_ != nullptr) {
        // Closed as a user would: the sub-dialog, then the program.
        if (shown_ != nullptr && shown_ != main_)
            PostMessageW(shown_, WM_COMMAND, IDCANCEL, 0);
        if (IsHostScene(name_))
            PostMessageW(main_, WM_CLOSE, 0, 0);
        else
            PostMessageW(main_, WM_COMMAND, name_ == L"error-box" ? IDOK : IDCANCEL, 0);
    }
    // A program that does not close is ended by ChildProcess.
    (void)state_->process->WaitForExit(closeTimeoutMs);
}

DWORD Scene::ProcessId() const { return state_->process ? state_->process->Id() : 0; }
