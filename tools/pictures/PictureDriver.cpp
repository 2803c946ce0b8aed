// Puts TarvixUtility or the settings host into the state a picture shows,
// prints the X window to photograph, and closes everything again once the
// photograph is taken (tools/pictures.sh).
//
//   PictureDriver SCENE DONE-FILE
//
// Prints "WINDOW <X window id>" when the window is painted, then waits until
// DONE-FILE exists. Scenes: main-own, main-preset, key-combination,
// application-chooser, error-box, host-logo-lamp, host-lamp-brightness. The
// programs show the language of the LANG the driver runs under.
#include <windows.h>
#include <cstdio>
#include <functional>
#include <string>
#include "Handles.h"
#include "KeyNames.h"
#include "ProcessWindows.h"
#include "SettingsConnection.h"
#include "tarvix/resource.h"

namespace {

const wchar_t tarvixTitle[] = L"Tarvix Button Utility";
const wchar_t hostTitle[] = L"Corvane Settings";
const wchar_t sampleProgram[] = L"C:\\windows\\notepad.exe";
constexpr DWORD windowTimeoutMs = 60000;
constexpr DWORD doneTimeoutMs = 120000;

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

HWND WaitForPaintedWindow(const StartedProcess& process, const wchar_t* caption)
{
    const ULONGLONG end = GetTickCount64() + windowTimeoutMs;
    while (GetTickCount64() < end && !process.Ended(0)) {
        HWND window = FindVisibleWindow(process.Id(), caption);
        if (window != nullptr && Painted(window)) {
            Sleep(500);  // the display shows what was painted a moment later
            return window;
        }
        Sleep(50);
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
HWND WaitForPaintedOwnedWindow(const StartedProcess& process, HWND owner)
{
    const ULONGLONG end = GetTickCount64() + windowTimeoutMs;
    while (GetTickCount64() < end && !process.Ended(0)) {
        OwnedSearch search{process.Id(), owner, nullptr};
        EnumWindows(MatchOwned, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr && Painted(search.found)) {
            Sleep(500);  // the display shows what was painted a moment later
            return search.found;
        }
        Sleep(50);
    }
    return nullptr;
}

bool WaitForFile(const std::wstring& path)
{
    const ULONGLONG end = GetTickCount64() + doneTimeoutMs;
    while (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount64() >= end)
            return false;
        Sleep(50);
    }
    return true;
}

// Reports the window to photograph and waits until it was taken.
bool Photograph(HWND window, const std::wstring& doneFile)
{
    // Wine's X11 driver names each top-level window's X window in this property.
    const auto x11 = reinterpret_cast<ULONG_PTR>(GetPropW(window, L"__wine_x11_whole_window"));
    if (x11 == 0) {
        std::fprintf(stderr, "PictureDriver: the window has no X window\n");
        return false;
    }
    std::printf("WINDOW 0x%llx\n", static_cast<unsigned long long>(x11));
    std::fflush(stdout);
    return WaitForFile(doneFile);
}

void PressSettingsButton(HWND dialog)
{
    HWND button = GetDlgItem(dialog, IDC_BUTTON0_SETTINGS);
    // Posted: the button opens a modal dialog and would not answer until it closed.
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_BUTTON0_SETTINGS, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

int RunTarvix(const std::wstring& scene, const std::wstring& doneFile)
{
    SceneDevice device(scene);
    bool openSettings = false;
    if (scene == L"main-own") {
        device.SetNumber(L"Button1", L"AssignedFunction", 201);
        device.SetNumber(L"Button1", L"KeyCombination", KeyCombination::Pack(VK_CONTROL, VK_SHIFT, KeyLetter, 'S'));
        device.SetNumber(L"Button2", L"AssignedFunction", 102);
        device.SetText(L"Button2", L"ApplicationPath", sampleProgram);
        StorePresetActive(false);
    } else if (scene == L"main-preset") {
        device.SetNumber(L"Button1", L"AssignedFunction", 58);
        device.SetNumber(L"Button2", L"AssignedFunction", 59);
        StorePresetActive(true);
    } else if (scene == L"key-combination") {
        device.SetNumber(L"Button1", L"AssignedFunction", 201);
        device.SetNumber(L"Button1", L"KeyCombination", KeyCombination::Pack(VK_CONTROL, VK_SHIFT, KeyLetter, 'S'));
        StorePresetActive(false);
        openSettings = true;
    } else if (scene == L"application-chooser") {
        device.SetNumber(L"Button1", L"AssignedFunction", 101);
        device.SetText(L"Button1", L"ApplicationPath", sampleProgram);
        device.SetText(L"Button1", L"ApplicationArguments", L"C:\\users\\Public\\notes.txt");
        device.SetText(L"Button1", L"ApplicationFolder", L"C:\\users\\Public");
        StorePresetActive(false);
        openSettings = true;
    } else if (scene == L"error-box") {
        device.SetNumber(L"", L"ButtonCount", 0);
    } else {
        std::fprintf(stderr, "PictureDriver: unknown scene\n");
        return 2;
    }

    StartedProcess program(L"TarvixUtility.exe", nullptr);
    HWND main = WaitForPaintedWindow(program, tarvixTitle);
    if (main == nullptr) {
        std::fprintf(stderr, "PictureDriver: TarvixUtility showed no window\n");
        return 1;
    }
    HWND shown = main;
    if (openSettings) {
        PressSettingsButton(main);
        shown = WaitForPaintedOwnedWindow(program, main);
        if (shown == nullptr) {
            std::fprintf(stderr, "PictureDriver: the settings button opened no dialog\n");
            return 1;
        }
    }
    const bool taken = Photograph(shown, doneFile);

    // Closed as a user would: the sub-dialog, then the program.
    if (shown != main)
        PostMessageW(shown, WM_COMMAND, IDCANCEL, 0);
    PostMessageW(main, WM_COMMAND, scene == L"error-box" ? IDOK : IDCANCEL, 0);
    if (!program.Ended(10000))
        std::fprintf(stderr, "PictureDriver: TarvixUtility did not close\n");
    return taken ? 0 : 1;
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

int RunHost(const std::wstring& scene, const std::wstring& doneFile)
{
    InstallSampleApplications();
    const std::wstring arguments =
        L"\"" + ProgramFolder() + L"Peryl.dll\" /page:" + (scene == L"host-logo-lamp" ? L"0" : L"1");
    StartedProcess host(L"PlenkitHost.exe", arguments.c_str());
    HWND window = WaitForPaintedWindow(host, hostTitle);
    if (window == nullptr) {
        std::fprintf(stderr, "PictureDriver: the host showed no window\n");
        return 1;
    }
    const bool taken = Photograph(window, doneFile);
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (!host.Ended(10000))
        std::fprintf(stderr, "PictureDriver: the host did not close\n");
    return taken ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: PictureDriver SCENE DONE-FILE\n");
        return 2;
    }
    const std::wstring scene = argv[1];
    if (scene.rfind(L"host-", 0) == 0)
        return RunHost(scene, argv[2]);
    return RunTarvix(scene, argv[2]);
}
