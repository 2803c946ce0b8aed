// TarvixUtility started as a process against the registered stand-ins: the
// command line, one copy per session, the shutdown request and the error box.
#include <gtest/gtest.h>
#include "support/RowTrace.h"
#include <windows.h>
#include <psapi.h>
#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>
#include "ComTestSupport.h"
#include "CString.h"
#include "SettingsConnection.h"
#include "StandIns.h"
#include "support/ChildProcess.h"
#include "support/TestPaths.h"
#include "tarvix/resource.h"

namespace {

const DWORD startTimeout = 30000;

std::wstring Loaded(UINT id)
{
    CString text;
    text.LoadString(id);
    return std::wstring(text.GetString());
}

// The four values of the program's section, put back as the test found them.
// It holds the service meanwhile, so the programs the test starts meet the
// server it keeps, never one that is ending.
class SettingsSnapshot
{
public:
    SettingsSnapshot() : service_(ConnectToSettingsStandIn())
    {
        for (LONG index = 1; index <= 4; ++index) {
            VariantInit(&values_[index - 1]);
            found_[index - 1] = service_ && service_->GetValue(section_.get(), index, &values_[index - 1]) == S_OK;
        }
    }
    ~SettingsSnapshot()
    {
        for (LONG index = 1; index <= 4; ++index) {
            VARIANT empty;
            VariantInit(&empty);
            if (service_)
                (void)service_->SetValue(section_.get(), index, found_[index - 1] ? values_[index - 1] : empty);
            VariantClear(&values_[index - 1]);
        }
        if (service_)
            (void)service_->Commit();
    }
    SettingsSnapshot(const SettingsSnapshot&) = delete;
    SettingsSnapshot& operator=(const SettingsSnapshot&) = delete;

private:
    com_ptr<ISettingsService> service_;
    unique_bstr section_{SysAllocString(TarvixSettingsSection)};
    VARIANT values_[4];
    bool found_[4] = {};
};

// The file names, in lower case, of the modules a running process has loaded.
std::vector<std::wstring> LoadedModules(DWORD processId)
{
    std::vector<std::wstring> names;
    unique_handle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    HMODULE modules[512];
    DWORD bytes = 0;
    if (!process || !EnumProcessModules(process.get(), modules, sizeof(modules), &bytes))
        return names;
    const DWORD count = std::min<DWORD>(bytes / sizeof(HMODULE), ARRAYSIZE(modules));
    for (DWORD i = 0; i < count; ++i) {
        wchar_t name[MAX_PATH] = L"";
        if (GetModuleBaseNameW(process.get(), modules[i], name, MAX_PATH) == 0)
            continue;
        std::wstring lower(name);
        std::transform(lower.begin(), lower.end(), lower.begin(), [](wchar_t c) { return std::towlower(c); });
        names.push_back(lower);
    }
    return names;
}

bool Contains(const std::vector<std::wstring>& names, const wchar_t* name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Sees, from inside the program, each activation of a window of the thread
// that owns `window` (ActivationProbe.dll, a CBT hook Windows loads there).
class ActivationProbe
{
public:
    explicit ActivationProbe(HWND window)
    {
        DWORD processId = 0;
        const DWORD threadId = GetWindowThreadProcessId(window, &processId);
        activated_.reset(
            CreateEventW(nullptr, TRUE, FALSE, (L"TarvixTest-Activated-" + std::to_wstring(processId)).c_str()));
        module_ = LoadLibraryW(L"ActivationProbe.dll");
        const auto proc = module_ != nullptr ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(
                                                   GetProcAddress(module_, "ActivationProbeHook")))
                                             : nullptr;
        if (proc != nullptr && threadId != 0)
            hook_ = SetWindowsHookExW(WH_CBT, proc, module_, threadId);
        // Whatever the program still had to do (its own activation as it
        // showed the window) is done once it has answered a message.
        DWORD_PTR answer = 0;
        if (hook_ != nullptr && SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 30000, &answer) != 0)
            ResetEvent(activated_.get());
        else
            ADD_FAILURE() << "cannot watch the program's activations";
    }
    ~ActivationProbe()
    {
        if (hook_ != nullptr)
            UnhookWindowsHookEx(hook_);
        if (module_ != nullptr)
            FreeLibrary(module_);
    }
    ActivationProbe(const ActivationProbe&) = delete;
    ActivationProbe& operator=(const ActivationProbe&) = delete;

    bool Ready() const { return hook_ != nullptr && activated_.valid(); }
    bool WaitForActivation(DWORD limitMs) const
    {
        return WaitForSingleObject(activated_.get(), limitMs) == WAIT_OBJECT_0;
    }

private:
    unique_handle activated_;
    HMODULE module_ = nullptr;
    HHOOK hook_ = nullptr;
};

class ProgramStartTest : public testing::Test
{
protected:
    HWND WaitForMainDialog(const ChildProcess& program)
    {
        HWND dialog = program.WaitForWindow(dialogClass, title, startTimeout, IDC_PRESET_LIST);
        if (dialog == nullptr)
            ADD_FAILURE() << "the program showed no main dialog within " << startTimeout / 1000 << " s";
        return dialog;
    }
    // What a user does with the mouse: picks a function from a button's list.
    static bool ChooseFunction(HWND dialog, int button, const std::wstring& name)
    {
        HWND list = GetDlgItem(dialog, IDC_BUTTON0_FUNCTIONS + button);
        const LRESULT item = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(name.c_str()));
        if (item < 0)
            return false;
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_BUTTON0_FUNCTIONS + button, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        return true;
    }
    // Asks the running copy to close as a user's logoff tool would.
    void Halt()
    {
        ChildProcess halt(ProgramLine(L"TarvixUtility.exe", L"/Halt"));
        ASSERT_TRUE(halt.Started());
        EXPECT_EQ(0u, halt.WaitForExit(startTimeout));
    }

    ComApartment apartment;
    OwnDeviceState device;  // the programs inherit the key through their environment
    SettingsSnapshot settings;
    const std::wstring title = Loaded(IDS_APP_TITLE);
};

TEST_F(ProgramStartTest, HaltMakesTheRunningCopyApplyItsChangesAndClose)
{
    ChildProcess first(ProgramLine(L"TarvixUtility.exe"));
    ASSERT_TRUE(first.Started());
    HWND dialog = WaitForMainDialog(first);
    ASSERT_NE(nullptr, dialog);
    {
        unique_handle shutdown(OpenEventW(SYNCHRONIZE, FALSE, L"Tarvix-Shutdown-User"));
        unique_handle presence(OpenMutexW(SYNCHRONIZE, FALSE, L"Tarvix-MutexUser"));
        EXPECT_TRUE(shutdown.valid());
        EXPECT_TRUE(presence.valid());
    }

    // A change the user has not applied yet: button 1 to the stand-in's "Zoom in".
    HWND list = GetDlgItem(dialog, IDC_BUTTON0_FUNCTIONS);
    const LRESULT zoomIn = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(L"Zoom in"));
    ASSERT_GE(zoomIn, 0);
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(zoomIn), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_BUTTON0_FUNCTIONS, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_APPLY)));
    EXPECT_NE(57u, device.Number(1, L"AssignedFunction", 0));

    Halt();
    EXPECT_EQ(0u, first.WaitForExit(startTimeout));
    EXPECT_EQ(57u, device.Number(1, L"AssignedFunction", 0));
}

TEST_F(ProgramStartTest, HaltWhileASubDialogIsOpenCancelsItThenAppliesAndEnds)
{
    const wchar_t typedPath[] = L"C:\\windows\\notepad.exe";
    const wchar_t missingPath[] = L"C:\\no such folder\\gone.exe";
    const struct
    {
        const char* what;
        UINT entryName;  // button 1's own function, chosen but not applied
        DWORD function;
        int subDialogControl;  // a control only that sub-dialog has
        bool warning;          // confirm a missing program: the warning then stands over the chooser
    } cases[] = {
        {"application chooser", IDS_LAUNCH_ENTRY_NAME, 101, IDC_APP_PATH, false},
        {"key-combination dialog", IDS_KEY_ENTRY_NAME, 201, IDC_CATEGORY_LIST, false},
        {"warning over the application chooser", IDS_LAUNCH_ENTRY_NAME, 101, IDC_APP_PATH, true},
    };
    for (const auto& test : cases) {
        ROW_TRACE(test.what);
        ChildProcess program(ProgramLine(L"TarvixUtility.exe"));
        HWND dialog = WaitForMainDialog(program);
        ASSERT_NE(nullptr, dialog);
        ASSERT_TRUE(ChooseFunction(dialog, 0, Loaded(test.entryName)));
        // Posted: the sub-dialog's modal loop keeps the handler from returning.
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_BUTTON0_SETTINGS, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_BUTTON0_SETTINGS)));
        HWND subDialog = program.WaitForWindow(dialogClass, L"", startTimeout, test.subDialogControl);
        ASSERT_NE(nullptr, subDialog) << "the sub-dialog did not open within " << startTimeout / 1000 << " s";

        // What the user enters there would change the button if the sub-dialog ended with OK.
        HWND control = GetDlgItem(subDialog, test.subDialogControl);
        if (test.subDialogControl == IDC_APP_PATH) {
            SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(test.warning ? missingPath : typedPath));
        } else {
            SendMessageW(control, CB_SETCURSEL, 6, 0);  // the named key Enter
            SendMessageW(subDialog, WM_COMMAND, MAKEWPARAM(IDC_CATEGORY_LIST, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(control));
        }
        if (test.warning) {
            PostMessageW(subDialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(subDialog, IDOK)));
            HWND box = program.WaitForWindow(dialogClass, title, startTimeout, 0xFFFF);
            ASSERT_NE(nullptr, box) << "no warning within " << startTimeout / 1000 << " s";
            EXPECT_EQ(Loaded(IDS_INVALID_APPLICATION), WindowText(GetDlgItem(box, 0xFFFF)));
        }

        Halt();
        EXPECT_EQ(0u, program.WaitForExit(startTimeout))
            << "the program still ran " << startTimeout / 1000 << " s after the request";
        EXPECT_EQ(test.function, device.Number(1, L"AssignedFunction", 0));
        EXPECT_NE(std::wstring(typedPath), device.Text(1, L"ApplicationPath", L""));
        EXPECT_EQ(0u, device.Number(1, L"KeyCombination", 0));  // Enter would be 0x0000060D
    }
}

TEST_F(ProgramStartTest, SecondCopyBringsTheFirstToTheFrontAndEnds)
{
    ChildProcess first(ProgramLine(L"TarvixUtility.exe"));
    HWND dialog = WaitForMainDialog(first);
    ASSERT_NE(nullptr, dialog);

    // Something else in front of it.
    HWND other = CreateWindowExW(0, L"STATIC", L"in front", WS_POPUP | WS_VISIBLE, 600, 600, 100, 50, nullptr,
                                 nullptr, nullptr, nullptr);
    SetForegroundWindow(other);
    EXPECT_NE(dialog, GetForegroundWindow());

    // Under Wine the foreground that the second copy gives the first one can
    // be gone again at once (the first copy hears late that its window lost
    // the X focus to ours), so looking at GetForegroundWindow() can miss it.
    // What the request does in the first copy is seen there: a CBT hook in it
    // sets an event when one of its windows is activated.
    ActivationProbe probe(dialog);
    ASSERT_TRUE(probe.Ready());
    ChildProcess second(ProgramLine(L"TarvixUtility.exe"));
    EXPECT_EQ(0u, second.WaitForExit(startTimeout));
    EXPECT_EQ(nullptr, second.WaitForWindow(dialogClass, title, 0));
    EXPECT_TRUE(probe.WaitForActivation(startTimeout))
        << "the first copy's dialog was not activated within " << startTimeout / 1000 << " s";
    DestroyWindow(other);

    Halt();
    EXPECT_EQ(0u, first.WaitForExit(startTimeout));
}

TEST_F(ProgramStartTest, SilentRunWithANumberAppliesTheDefaultsThenShowsTheDialog)
{
    ChildProcess program(ProgramLine(L"TarvixUtility.exe", L"/miseban 3"));
    HWND dialog = WaitForMainDialog(program);
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(58u, device.Number(1, L"AssignedFunction", 0));
    EXPECT_EQ(59u, device.Number(2, L"AssignedFunction", 0));
    // The defaults are a preset pair and the silent run recorded that: preset mode.
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_BUTTON0_FUNCTIONS)));
    Halt();
    EXPECT_EQ(0u, program.WaitForExit(startTimeout));
}

TEST_F(ProgramStartTest, SwitchesThatAreNotExactlyAtTheStartRunNormally)
{
    for (const wchar_t* arguments : {L"/MISEBAN", L"\" /miseban\""}) {
        ChildProcess program(ProgramLine(L"TarvixUtility.exe", arguments));
        HWND dialog = WaitForMainDialog(program);
        EXPECT_NE(nullptr, dialog) << testing::PrintToString(std::wstring(arguments));
        // A normal run leaves the device as it was until the dialog applies what it shows.
        Halt();
        EXPECT_EQ(0u, program.WaitForExit(startTimeout));
    }
}

TEST_F(ProgramStartTest, FailedButtonSetUpShowsTheErrorBoxExceptWhenSilent)
{
    device.SetNumber(L"ButtonCount", 0);
    ChildProcess program(ProgramLine(L"TarvixUtility.exe"));
    HWND box = program.WaitForWindow(dialogClass, title, startTimeout);
    ASSERT_NE(nullptr, box) << "the program showed no error box within " << startTimeout / 1000 << " s";
    EXPECT_EQ(nullptr, GetDlgItem(box, IDC_PRESET_LIST));
    EXPECT_EQ(Loaded(IDS_BUTTON_SETUP_FAILED), WindowText(GetDlgItem(box, 0xFFFF)));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(1u, program.WaitForExit(startTimeout));

    // Silent: no box stands in the way, the run ends with the failure.
    ChildProcess silent(ProgramLine(L"TarvixUtility.exe", L"/miseban"));
    EXPECT_EQ(1u, silent.WaitForExit(startTimeout));
}

TEST_F(ProgramStartTest, TheShellAndTheOpenFileDialogLoadOnlyWhenSomethingNeedsThem)
{
    {
        ChildProcess program(ProgramLine(L"TarvixUtility.exe"));
        HWND dialog = WaitForMainDialog(program);
        ASSERT_NE(nullptr, dialog);
        const std::vector<std::wstring> modules = LoadedModules(program.Id());
        EXPECT_TRUE(Contains(modules, L"comctl32.dll"));  // the list is the program's
        EXPECT_FALSE(Contains(modules, L"shell32.dll"));
        EXPECT_FALSE(Contains(modules, L"comdlg32.dll"));
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        EXPECT_EQ(0u, program.WaitForExit(startTimeout));
    }

    // A program assigned to a button shows its icon, which comes from the shell.
    const std::wstring button = device.Key() + L"\\Button2";
    const DWORD launch = 102;
    const wchar_t notepad[] = L"C:\\windows\\notepad.exe";
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, button.c_str(), L"AssignedFunction", REG_DWORD,
                                             &launch, sizeof(launch)));
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeyValueW(HKEY_CURRENT_USER, button.c_str(), L"ApplicationPath", REG_SZ, notepad,
                                             sizeof(notepad)));
    ChildProcess program(ProgramLine(L"TarvixUtility.exe"));
    HWND dialog = WaitForMainDialog(program);
    ASSERT_NE(nullptr, dialog);
    EXPECT_TRUE(Contains(LoadedModules(program.Id()), L"shell32.dll"));
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, program.WaitForExit(startTimeout));
}

TEST_F(ProgramStartTest, HaltWithoutARunningCopyEndsAtOnce)
{
    ChildProcess halt(ProgramLine(L"TarvixUtility.exe", L"/Halt"));
    EXPECT_EQ(0u, halt.WaitForExit(startTimeout));
    ChildProcess again(ProgramLine(L"TarvixUtility.exe", L"/Halt"));
    EXPECT_EQ(0u, again.WaitForExit(startTimeout));
}

}  // namespace
