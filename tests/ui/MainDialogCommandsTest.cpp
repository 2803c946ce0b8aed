// The main dialog's commands: presets, functions and the settings buttons with
// the dialogs they open (driven from a second thread while they run).
#include <gtest/gtest.h>
#include <algorithm>
#include <functional>
#include <fstream>
#include <thread>
#include "KeyNames.h"
#include "MainDialogFixture.h"
#include "support/ModalDriver.h"
#include "tarvix/resource.h"

namespace {

// Waits for a dialog of this process with the given caption, then lets `drive`
// work on it from this thread (the dialog's own thread is in its modal loop).
std::thread DriveNextDialog(const std::wstring& caption, std::function<void(HWND)> drive)
{
    return std::thread([caption, drive] {
        HWND found = nullptr;
        // Tests in other processes may show dialogs with the same caption.
        for (int i = 0; i < 200 && found == nullptr; ++i) {
            for (HWND candidate = FindWindowExW(nullptr, nullptr, MAKEINTATOM(0x8002), caption.c_str());
                 candidate != nullptr && found == nullptr;
                 candidate = FindWindowExW(nullptr, candidate, MAKEINTATOM(0x8002), caption.c_str())) {
                DWORD pid = 0;
                GetWindowThreadProcessId(candidate, &pid);
                if (pid == GetCurrentProcessId() && IsWindowVisible(candidate))
                    found = candidate;
            }
            if (found == nullptr)
                Sleep(25);
        }
        if (found != nullptr)
            drive(found);
    });
}

void Press(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::wstring TempFolder()
{
    wchar_t path[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, path);
    std::wstring folder = std::wstring(path) + L"tarvix-open-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

bool WaitForFile(const std::wstring& path, DWORD timeoutMs)
{
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount64() >= end)
            return false;
        Sleep(50);
    }
    return true;
}

int ItemWithText(HWND list, const wchar_t* text)
{
    return static_cast<int>(SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text)));
}

} // namespace

TEST_F(MainDialogTest, OwnSettingsAfterAPresetRestoresTheFunctionsLastChosen)
{
    OfferEveryFunction();
    OfferSettings();
    StoreSetting(1, 0);
    Open();
    Choose(IDC_BUTTON0_FUNCTIONS, ItemWithText(Item(IDC_BUTTON0_FUNCTIONS), L"Zoom in"));
    Choose(IDC_BUTTON1_FUNCTIONS, ItemWithText(Item(IDC_BUTTON1_FUNCTIONS), L"Volume up"));
    EXPECT_EQ(57u, dialog->customFunctionId[0]);
    EXPECT_EQ(64u, dialog->customFunctionId[1]);

    CString copyAndPaste;
    copyAndPaste.LoadString(IDS_PRESET_1);
    Choose(IDC_PRESET_LIST, ItemWithText(Item(IDC_PRESET_LIST), copyAndPaste));
    ASSERT_EQ(1, dialog->presetActive);
    EXPECT_FALSE(Enabled(IDC_BUTTON0_FUNCTIONS));
    EXPECT_EQ(57u, dialog->customFunctionId[0]) << "a preset never changes the own choice";

    Choose(IDC_PRESET_LIST, ItemCount(IDC_PRESET_LIST) - 1);
    EXPECT_EQ(0, dialog->presetActive);
    EXPECT_TRUE(Enabled(IDC_BUTTON0_FUNCTIONS));
    EXPECT_EQ(L"Zoom in", ItemText(IDC_BUTTON0_FUNCTIONS, Selection(IDC_BUTTON0_FUNCTIONS)));
    EXPECT_EQ(L"Volume up", ItemText(IDC_BUTTON1_FUNCTIONS, Selection(IDC_BUTTON1_FUNCTIONS)));
    EXPECT_EQ(57u, dialog->buttons[0]->data.assignedFunctionId);
    EXPECT_EQ(64u, dialog->buttons[1]->data.assignedFunctionId);
    EXPECT_TRUE(Enabled(IDC_APPLY));
}

TEST_F(MainDialogTest, OwnSettingsWithNothingChosenOrStoredSetsFunctionZero)
{
    OfferEveryFunction();
    Open();
    Choose(IDC_PRESET_LIST, 0);
    ASSERT_EQ(1, dialog->presetActive);
    Choose(IDC_PRESET_LIST, ItemCount(IDC_PRESET_LIST) - 1);
    EXPECT_EQ(0u, dialog->buttons[0]->data.assignedFunctionId);
    EXPECT_EQ(0u, dialog->buttons[1]->data.assignedFunctionId);
    // No entry offers function 0: the lists show their first item.
    EXPECT_EQ(0, Selection(IDC_BUTTON0_FUNCTIONS));
    EXPECT_EQ(0, Selection(IDC_BUTTON1_FUNCTIONS));
}

TEST_F(MainDialogTest, ActionTargetIsOpenedEvenInTheLaunchAndKeyRanges)
{
    const std::wstring folder = TempFolder();
    const std::wstring script = folder + L"\\open.cmd";
    {
        std::ofstream file(std::string(script.begin(), script.end()));
        file << "@echo opened> opened.txt\r\n";
    }
    OfferEveryFunction();
    FakeFunction& launchRange = device->Add(150, L"Tool in the launch range");
    launchRange.actionTarget = script;
    launchRange.folder = folder;
    FakeFunction& keyRange = device->Add(250, L"Tool in the key range");
    keyRange.actionTarget = script;
    keyRange.folder = folder;
    device->assigned = {{1, 150}, {2, 250}};
    Open();
    for (int settingsButton : {IDC_BUTTON0_SETTINGS, IDC_BUTTON1_SETTINGS}) {
        ASSERT_TRUE(Enabled(settingsButton));
        DeleteFileW((folder + L"\\opened.txt").c_str());
        Click(settingsButton);
        // The shell runs the script in the entry's folder, where it leaves its mark.
        EXPECT_TRUE(WaitForFile(folder + L"\\opened.txt", 20000)) << settingsButton;
        EXPECT_FALSE(Enabled(IDC_APPLY)) << "opening a program changes nothing";
    }

    DeleteFileW((folder + L"\\opened.txt").c_str());
    DeleteFileW(script.c_str());
    RemoveDirectoryW(folder.c_str());
}

TEST_F(MainDialogTest, CancelledChooserChangesNothingAndAChosenProgramShowsItsNameAndIcon)
{
    OfferEveryFunction();
    device->assigned = {{1, 101}, {2, 59}};
    Open();
    const std::wstring before = Text(IDC_BUTTON0_LABEL);
    ASSERT_TRUE(Enabled(IDC_BUTTON0_SETTINGS));

    std::thread cancel = DriveNextDialog(L"Start a Program", [](HWND chooser) {
        SetDlgItemTextW(chooser, IDC_APP_PATH, L"C:\\windows\\notepad.exe");
        Press(chooser, IDCANCEL);
    });
    Click(IDC_BUTTON0_SETTINGS);
    cancel.join();
    EXPECT_EQ(before, Text(IDC_BUTTON0_LABEL));
    EXPECT_FALSE(Enabled(IDC_APPLY));
    EXPECT_TRUE(dialog->buttons[0]->data.applicationPath.IsEmpty());

    std::thread choose = DriveNextDialog(L"Start a Program", [](HWND chooser) {
        SetDlgItemTextW(chooser, IDC_APP_PATH, L"C:\\windows\\notepad.exe");
        SetDlgItemTextW(chooser, IDC_APP_ARGUMENTS, L" readme.txt ");
        Press(chooser, IDOK);
    });
    Click(IDC_BUTTON0_SETTINGS);
    choose.join();
    EXPECT_EQ(L"notepad", Text(IDC_BUTTON0_LABEL));
    EXPECT_TRUE(dialog->buttonIcon[0].valid());
    EXPECT_TRUE(Enabled(IDC_APPLY));

    device->calls.clear();
    Click(IDC_APPLY);
    EXPECT_EQ(1, std::count(device->calls.begin(), device->calls.end(),
                            std::string("SetApplication('C:\\windows\\notepad.exe',' readme.txt ',null)")))
        << testing::PrintToString(device->calls);
}

TEST_F(MainDialogTest, KeyEntryKeepsItsTextUnlessTheKeyDialogChangedSomething)
{
    OfferEveryFunction();
    device->functions[14].keyCombination = KeyCombination::Pack(VK_CONTROL, 0, KeyLetter, 'C');  // 201
    device->assigned = {{1, 201}, {2, 59}};
    Open();
    const std::wstring before = Text(IDC_BUTTON0_LABEL);
    EXPECT_EQ(std::wstring(KeyCombinationText(KeyCombination::Pack(VK_CONTROL, 0, KeyLetter, 'C'))), before);

    for (int button : {IDCANCEL, IDOK}) {
        std::thread leave = DriveNextDialog(L"Key Combination", [button](HWND keys) { Press(keys, button); });
        Click(IDC_BUTTON0_SETTINGS);
        leave.join();
        EXPECT_EQ(before, Text(IDC_BUTTON0_LABEL));
        EXPECT_FALSE(Enabled(IDC_APPLY));
    }

    std::thread change = DriveNextDialog(L"Key Combination", [](HWND keys) {
        HWND category = GetDlgItem(keys, IDC_CATEGORY_LIST);
        SendMessageW(category, CB_SETCURSEL, 6, 0);  // the first named key
        SendMessageW(keys, WM_COMMAND, MAKEWPARAM(IDC_CATEGORY_LIST, CBN_SELCHANGE), reinterpret_cast<LPARAM>(category));
        Press(keys, IDOK);
    });
    Click(IDC_BUTTON0_SETTINGS);
    change.join();
    const UINT32 expected = KeyCombination::Pack(0, 0, KeyNamed, VK_RETURN);
    EXPECT_EQ(expected, dialog->buttons[0]->data.keyCombination);
    EXPECT_EQ(std::wstring(KeyCombinationText(expected)), Text(IDC_BUTTON0_LABEL));
    EXPECT_TRUE(Enabled(IDC_APPLY));
    device->calls.clear();
    Click(IDC_APPLY);
    char call[40];
    wsprintfA(call, "SetKeyCombination(0x%08lX)", static_cast<unsigned long>(expected));
    EXPECT_EQ(1, std::count(device->calls.begin(), device->calls.end(), std::string(call)));
}
