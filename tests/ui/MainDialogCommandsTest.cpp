// The main dialog's commands: presets, functions and the settings buttons with
// the dialogs they open (driven from inside their own loops while they run).
#include <gtest/gtest.h>
#include "support/RowTrace.h"
#include <algorithm>
#include <functional>
#include <fstream>
#include <vector>
#include "KeyNames.h"
#include "MainDialogFixture.h"
#include "support/DialogWatch.h"
#include "support/ModalDriver.h"
#include "support/TempFolder.h"
#include "tarvix/resource.h"

namespace {

// Runs `open`, which shows a dialog modally on this thread, and lets `drive`
// work on that dialog from inside its loop as soon as it is visible; answers
// the captions of the dialogs that `open` showed. The watch sees each dialog
// as it is shown, so nothing is polled and only this thread's dialogs count.
std::vector<std::wstring> DriveDialogOf(const std::function<void()>& open, std::function<void(HWND)> drive)
{
    DialogWatch watch(std::move(drive));
    open();
    std::vector<std::wstring> captions;
    for (const DialogWatch::Box& box : watch.Boxes())
        captions.push_back(box.caption);
    return captions;
}

using Captions = std::vector<std::wstring>;

void Press(HWND dialog, int id)
{
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Waits until `folder` holds a file `name`: woken by the folder's change
// notification, not by a clock; false after `limitMs` without it.
bool WaitForFile(const std::wstring& folder, const std::wstring& name, DWORD limitMs)
{
    const std::wstring path = folder + L"\\" + name;
    HANDLE changes = FindFirstChangeNotificationW(folder.c_str(), FALSE, FILE_NOTIFY_CHANGE_FILE_NAME);
    if (changes == INVALID_HANDLE_VALUE) {
        ADD_FAILURE() << "cannot watch the folder for its files (error " << GetLastError() << ")";
        return false;
    }
    const ULONGLONG end = GetTickCount64() + limitMs;
    bool found = false;
    for (;;) {
        // Looked at after the watch began: a file made before a wait is seen here.
        found = GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
        const ULONGLONG now = GetTickCount64();
        if (found || now >= end)
            break;
        if (WaitForSingleObject(changes, static_cast<DWORD>(end - now)) != WAIT_OBJECT_0 ||
            !FindNextChangeNotification(changes)) {
            found = GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
            break;
        }
    }
    FindCloseChangeNotification(changes);
    return found;
}

int ItemWithText(HWND list, const wchar_t* text)
{
    return static_cast<int>(
        SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text)));
}

}  // namespace

TEST_F(MainDialogTest, OwnSettingsAfterAPresetRestoresTheFunctionsLastChosen)
{
    OfferEveryFunction();
    OfferSettings();
    StoreSetting(1, 0);
    Open();
    Choose(IDC_BUTTON0_FUNCTIONS, ItemWithText(Item(IDC_BUTTON0_FUNCTIONS), L"Zoom in"));
    Choose(IDC_BUTTON1_FUNCTIONS, ItemWithText(Item(IDC_BUTTON1_FUNCTIONS), L"Volume up"));
    EXPECT_EQ(57u, dialog->Assignments().CustomFunctionId(0));
    EXPECT_EQ(64u, dialog->Assignments().CustomFunctionId(1));

    CString copyAndPaste;
    copyAndPaste.LoadString(IDS_PRESET_1);
    Choose(IDC_PRESET_LIST, ItemWithText(Item(IDC_PRESET_LIST), copyAndPaste));
    ASSERT_TRUE(dialog->Assignments().PresetActive());
    EXPECT_FALSE(Enabled(IDC_BUTTON0_FUNCTIONS));
    EXPECT_EQ(57u, dialog->Assignments().CustomFunctionId(0)) << "a preset never changes the own choice";

    Choose(IDC_PRESET_LIST, ItemCount(IDC_PRESET_LIST) - 1);
    EXPECT_FALSE(dialog->Assignments().PresetActive());
    EXPECT_TRUE(Enabled(IDC_BUTTON0_FUNCTIONS));
    EXPECT_EQ(L"Zoom in", ItemText(IDC_BUTTON0_FUNCTIONS, Selection(IDC_BUTTON0_FUNCTIONS)));
    EXPECT_EQ(L"Volume up", ItemText(IDC_BUTTON1_FUNCTIONS, Selection(IDC_BUTTON1_FUNCTIONS)));
    EXPECT_EQ(57u, dialog->Assignments().Record(0).assignedFunctionId);
    EXPECT_EQ(64u, dialog->Assignments().Record(1).assignedFunctionId);
    EXPECT_TRUE(Enabled(IDC_APPLY));
}

TEST_F(MainDialogTest, OwnSettingsWithNothingChosenOrStoredShowsAndWritesFunctionsTheListsOffer)
{
    OfferEveryFunction();
    OfferSettings();
    const struct
    {
        const char* what;
        ULONG opened0, opened1;  // the device's assignment when the dialog opens
        const wchar_t* shown0;
        const wchar_t* shown1;
        ULONG written0, written1;
    } rows[] = {
        {"offered functions come back", 51, 50, L"Back", L"Forward", 51, 50},
        {"functions the lists lack give their first items", 70, 71, L"Forward", L"Forward", 50, 50},
    };
    for (const auto& row : rows) {
        ROW_TRACE(row.what);
        // Own mode, with no own choice (0) for either button.
        for (LONG index : {1, 2, 3})
            StoreSetting(index, 0);
        device->assigned = {{1, row.opened0}, {2, row.opened1}};
        Open();
        CString copyAndPaste;
        copyAndPaste.LoadString(IDS_PRESET_1);
        Choose(IDC_PRESET_LIST, ItemWithText(Item(IDC_PRESET_LIST), copyAndPaste));
        ASSERT_TRUE(dialog->Assignments().PresetActive());
        Choose(IDC_PRESET_LIST, ItemCount(IDC_PRESET_LIST) - 1);
        EXPECT_FALSE(dialog->Assignments().PresetActive());
        EXPECT_EQ(row.shown0, ItemText(IDC_BUTTON0_FUNCTIONS, Selection(IDC_BUTTON0_FUNCTIONS)));
        EXPECT_EQ(row.shown1, ItemText(IDC_BUTTON1_FUNCTIONS, Selection(IDC_BUTTON1_FUNCTIONS)));

        device->calls.clear();
        Click(IDC_APPLY);
        EXPECT_EQ((std::vector<std::string>{"SetAssignedFunction(1," + std::to_string(row.written0) + ")",
                                            "SetAssignedFunction(2," + std::to_string(row.written1) + ")"}),
                  device->CallsStartingWith("SetAssignedFunction"));
        // The next start's own mode shows the same.
        EXPECT_EQ(static_cast<INT32>(row.written0), StoredSetting(2));
        EXPECT_EQ(static_cast<INT32>(row.written1), StoredSetting(3));
        dialog->DestroyWindow();
    }
}

TEST_F(MainDialogTest, ActionTargetIsOpenedEvenInTheLaunchAndKeyRanges)
{
    const ScopedTempFolder temp(L"tarvix-open");
    const std::wstring folder = temp.folder();
    const std::wstring script = folder + L"\\open.cmd";
    {
        std::ofstream file(std::string(script.begin(), script.end()));
        // The mark appears in one step once written and closed, so the test
        // never sees (or deletes) one that the script still has open.
        file << "@echo opened> opened.tmp\r\n@move /y opened.tmp opened.txt > nul\r\n";
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
        const std::wstring mark = folder + L"\\opened.txt";
        ASSERT_TRUE(DeleteFileW(mark.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND) << "the last mark stays";
        Click(settingsButton);
        // The shell runs the script in the entry's folder, where it leaves its mark.
        EXPECT_TRUE(WaitForFile(folder, L"opened.txt", 60000))
            << "the script of button " << settingsButton << " left no mark within 60 s";
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

    EXPECT_EQ(Captions{L"Start a Program"}, DriveDialogOf([&] { Click(IDC_BUTTON0_SETTINGS); },
                                                          [](HWND chooser) {
                                                              SetDlgItemTextW(chooser, IDC_APP_PATH,
                                                                              L"C:\\windows\\notepad.exe");
                                                              Press(chooser, IDCANCEL);
                                                          }));
    EXPECT_EQ(before, Text(IDC_BUTTON0_LABEL));
    EXPECT_FALSE(Enabled(IDC_APPLY));
    EXPECT_TRUE(dialog->Assignments().Record(0).applicationPath.IsEmpty());

    EXPECT_EQ(Captions{L"Start a Program"},
              DriveDialogOf([&] { Click(IDC_BUTTON0_SETTINGS); },
                            [](HWND chooser) {
                                SetDlgItemTextW(chooser, IDC_APP_PATH, L"C:\\windows\\notepad.exe");
                                SetDlgItemTextW(chooser, IDC_APP_ARGUMENTS, L" readme.txt ");
                                Press(chooser, IDOK);
                            }));
    EXPECT_EQ(L"notepad", Text(IDC_BUTTON0_LABEL));
    EXPECT_NE(nullptr, dialog->ButtonIcon(0));
    EXPECT_TRUE(Enabled(IDC_APPLY));
    // Only the program's three fields of the record changed.
    const CSpecialButtonData record = dialog->Assignments().Record(0);
    EXPECT_EQ(CString(L"C:\\windows\\notepad.exe"), record.applicationPath);
    EXPECT_EQ(CString(L" readme.txt "), record.applicationArguments);
    EXPECT_TRUE(record.applicationFolder.IsEmpty());
    EXPECT_EQ(1, record.buttonId);
    EXPECT_EQ(101u, record.assignedFunctionId);
    EXPECT_EQ(101u, record.applicationFunctionId);

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
        EXPECT_EQ(Captions{L"Key Combination"},
                  DriveDialogOf([&] { Click(IDC_BUTTON0_SETTINGS); }, [button](HWND keys) { Press(keys, button); }));
        EXPECT_EQ(before, Text(IDC_BUTTON0_LABEL));
        EXPECT_FALSE(Enabled(IDC_APPLY));
    }

    EXPECT_EQ(Captions{L"Key Combination"},
              DriveDialogOf([&] { Click(IDC_BUTTON0_SETTINGS); },
                            [](HWND keys) {
                                HWND category = GetDlgItem(keys, IDC_CATEGORY_LIST);
                                SendMessageW(category, CB_SETCURSEL, 6, 0);  // the first named key
                                SendMessageW(keys, WM_COMMAND, MAKEWPARAM(IDC_CATEGORY_LIST, CBN_SELCHANGE),
                                             reinterpret_cast<LPARAM>(category));
                                Press(keys, IDOK);
                            }));
    const UINT32 expected = KeyCombination::Pack(0, 0, KeyNamed, VK_RETURN);
    const CSpecialButtonData record = dialog->Assignments().Record(0);
    EXPECT_EQ(expected, record.keyCombination);
    // Only the keys of the record changed.
    EXPECT_EQ(1, record.buttonId);
    EXPECT_EQ(201u, record.assignedFunctionId);
    EXPECT_EQ(CString(LoadText(IDS_KEY_ENTRY_NAME)), record.functionName);
    EXPECT_TRUE(record.applicationPath.IsEmpty());
    EXPECT_EQ(std::wstring(KeyCombinationText(expected)), Text(IDC_BUTTON0_LABEL));
    EXPECT_TRUE(Enabled(IDC_APPLY));
    device->calls.clear();
    Click(IDC_APPLY);
    char call[40];
    wsprintfA(call, "SetKeyCombination(0x%08lX)", static_cast<unsigned long>(expected));
    EXPECT_EQ(1, std::count(device->calls.begin(), device->calls.end(), std::string(call)));
}
