// TarvixUtility as a process against stand-ins that fail: each device method
// in turn, each settings method in turn, and a settings server that dies
// while the dialog runs. The program must neither crash nor hang, and what the
// device and the settings service already keep must come through unharmed.
#include <gtest/gtest.h>
#include "support/RowTrace.h"
#include <string>
#include <vector>
#include "support/ChildProcess.h"
#include "support/TestPaths.h"
#include "ComTestSupport.h"
#include "CString.h"
#include "StandIns.h"
#include "StoredState.h"
#include "tarvix/resource.h"

namespace {

const DWORD timeout = 30000;

std::wstring Loaded(UINT id)
{
    CString text;
    text.LoadString(id);
    return std::wstring(text.GetString());
}

// Every method of the device interface that the program calls.
struct DeviceFailure
{
    const wchar_t* method;
    bool listsButtons;  // the program still learns which buttons there are
    bool setUpFails;    // the buttons cannot be set up: error box, exit status 1
};

const DeviceFailure deviceFailures[] = {
    {L"Prepare", false, true},
    {L"NextButton", false, true},
    {L"GetButtonInfo", true, false},
    {L"BeginRead", true, true},
    {L"NextFunction", true, true},
    {L"GetFunctionName", true, false},
    {L"GetFunctionType", true, false},
    {L"GetApplication", true, false},
    {L"GetActionTarget", true, false},
    {L"GetKeyCombination", true, false},
    {L"GetAssignedFunction", true, true},
    {L"GetApplicationFunction", true, true},
    {L"SetAssignedFunction", true, false},
    {L"SetApplication", true, false},
    {L"SetKeyCombination", true, false},
};

class TarvixFailures : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(settings.Commit(seededSettings)); }

    void SeedDevice()
    {
        WriteButton(device, 1, SeedButton(1));
        WriteButton(device, 2, SeedButton(2));
    }

    void ExpectButtons(const StoredButton& first, const StoredButton& second)
    {
        EXPECT_EQ(Describe(first), Describe(ReadButton(device, 1)));
        EXPECT_EQ(Describe(second), Describe(ReadButton(device, 2)));
    }

    // The main dialog or the error box of a program, both captioned with the program's title.
    HWND WaitForWindow(ChildProcess& program) { return program.WaitForWindow(dialogClass, title, timeout); }

    static bool IsMainDialog(HWND window) { return GetDlgItem(window, IDC_PRESET_LIST) != nullptr; }

    // What a user does with the mouse: picks a function from a button's list.
    static bool ChooseFunction(HWND dialog, int button, const wchar_t* name)
    {
        HWND list = GetDlgItem(dialog, IDC_BUTTON0_FUNCTIONS + button);
        const LRESULT item = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                          reinterpret_cast<LPARAM>(name));
        if (item < 0)
            return false;
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_BUTTON0_FUNCTIONS + button, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
        return true;
    }

    // Clicks a button of the dialog and waits (bounded) until the dialog has
    // handled it; false when it did not.
    static bool Click(HWND dialog, int button)
    {
        DWORD_PTR result = 0;
        return SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                                   reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)), SMTO_NORMAL, timeout,
                                   &result) != 0;
    }

    // Own mode (the seeded buttons match no preset), "Zoom in" as button 1's own
    // choice, 60 as button 2's, and the check box set: what the dialog writes
    // back when it works, so any other value written is a loss.
    const SettingsValues seededSettings{0, 57, 60, 1};

    NoCrashDialog noCrashDialog;
    OwnDeviceState device;  // the programs inherit the key through their environment
    StoredSettings settings;
    const std::wstring title = Loaded(IDS_APP_TITLE);
};

TEST_F(TarvixFailures, SilentRunWithEachDeviceMethodFailingKeepsWhatIsStored)
{
    for (const DeviceFailure& failure : deviceFailures) {
        ROW_TRACE(Narrow(failure.method));
        SeedDevice();
        ASSERT_TRUE(settings.Commit(seededSettings));
        device.SetText(L"FailMethod", failure.method);

        ChildProcess run(ProgramLine(L"TarvixUtility.exe", L"/miseban"));
        ASSERT_TRUE(run.Started());
        const DWORD code = run.WaitForExit(timeout);
        EXPECT_EQ(DescribeExit(failure.setUpFails ? 1 : 0), DescribeExit(code));

        // The defaults reach the buttons the program found, where the device takes them;
        // launch data and key combinations are never touched by a silent run.
        StoredButton first = SeedButton(1);
        StoredButton second = SeedButton(2);
        if (failure.listsButtons && lstrcmpW(failure.method, L"SetAssignedFunction") != 0) {
            first.assignedFunction = 58;
            second.assignedFunction = 59;
        }
        ExpectButtons(first, second);
        SettingsValues expected = seededSettings;
        if (failure.listsButtons)
            expected[0] = 1;  // the silent run records that the default preset is in use
        EXPECT_EQ(Describe(expected), Describe(settings.Committed()));
    }
}

TEST_F(TarvixFailures, DialogWithEachDeviceMethodFailingKeepsWhatIsStored)
{
    for (const DeviceFailure& failure : deviceFailures) {
        ROW_TRACE(Narrow(failure.method));
        SeedDevice();
        ASSERT_TRUE(settings.Commit(seededSettings));
        device.SetText(L"FailMethod", failure.method);

        ChildProcess program(ProgramLine(L"TarvixUtility.exe"));
        ASSERT_TRUE(program.Started());
        HWND window = WaitForWindow(program);
        ASSERT_NE(nullptr, window) << "no window; the program ended with " << DescribeExit(program.WaitForExit(0));
        const bool mainDialog = IsMainDialog(window);
        EXPECT_EQ(!failure.setUpFails, mainDialog);

        // Opening the dialog wrote what it shows; none of what the device keeps may suffer.
        ExpectButtons(SeedButton(1), SeedButton(2));
        if (mainDialog) {
            EXPECT_TRUE(Click(window, IDC_OK));
        } else {
            EXPECT_EQ(Loaded(IDS_BUTTON_SETUP_FAILED), WindowText(GetDlgItem(window, 0xFFFF)));
            PostMessageW(window, WM_COMMAND, IDOK, 0);
        }
        const DWORD code = program.WaitForExit(timeout);
        EXPECT_EQ(DescribeExit(mainDialog ? 0 : 1), DescribeExit(code));
        ExpectButtons(SeedButton(1), SeedButton(2));
        EXPECT_EQ(Describe(seededSettings), Describe(settings.Committed()));
    }
}

TEST_F(TarvixFailures, OddDeviceConfigurationsKeepWhatIsStored)
{
    const std::wstring huge(40000, L'W');
    const struct
    {
        const char* what;
        DWORD buttonCount;
        std::vector<std::wstring> functions;  // empty: the stand-in's own list
        DWORD listEndId;
        bool dialog;
    } cases[] = {
        {"one button", 1, {}, 0, true},
        {"three buttons", 3, {}, 0, true},
        {"no functions at all", 2, {L"# nothing"}, 0, false},
        {"the list ends on 201", 2, {}, 201, true},
        {"lines the device cannot read",
         2,
         {L"abc|x", L"|||", L"58|2|Copy", L"99999999999999999999|1|Overflow", L"-5|0|Negative", L"57|x|Bad type",
          L"201|0", L"202|0", L"101|1", L"102|1"},
         0,
         true},
        {"the buttons' own functions no longer offered", 2, {L"58|2|Copy", L"59|2|Paste"}, 0, true},
        {"a name and a program of 40000 characters",
         2,
         {L"58|2|" + huge, L"68|2|Settings|" + huge + L"|" + huge + L"|" + huge + L"|" + huge, L"201|0", L"202|0",
          L"101|1", L"102|1"},
         0,
         true},
    };
    for (const auto& test : cases) {
        ROW_TRACE(test.what);
        SeedDevice();
        ASSERT_TRUE(settings.Commit(seededSettings));
        device.SetNumber(L"ButtonCount", test.buttonCount);
        device.SetNumber(L"ListEndId", test.listEndId);
        if (test.functions.empty())
            RegDeleteKeyValueW(HKEY_CURRENT_USER, device.Key().c_str(), L"Functions");
        else
            device.SetLines(L"Functions", test.functions);

        ChildProcess program(ProgramLine(L"TarvixUtility.exe"));
        HWND window = WaitForWindow(program);
        ASSERT_NE(nullptr, window) << "no window; the program ended with " << DescribeExit(program.WaitForExit(0));
        EXPECT_EQ(test.dialog, IsMainDialog(window));
        if (IsMainDialog(window)) {
            EXPECT_TRUE(Click(window, IDC_OK));
        } else {
            PostMessageW(window, WM_COMMAND, IDOK, 0);
        }
        EXPECT_EQ(DescribeExit(test.dialog ? 0 : 1), DescribeExit(program.WaitForExit(timeout)));
        // A button the device does not report keeps its state as well.
        ExpectButtons(SeedButton(1), SeedButton(2));
        EXPECT_EQ(0xFFFFFFFFu, device.Number(3, L"AssignedFunction", 0xFFFFFFFF));
    }
}

TEST_F(TarvixFailures, DialogWithEachSettingsMethodFailingStillAppliesTheButtons)
{
    // The user picks "Zoom in" for button 1, applies, picks "Zoom out" for button 2
    // and presses OK. Whatever failed, the file holds the last committed values, and
    // the values the dialog could not read were not overwritten with its defaults.
    // (With GetValue failing, the check box's value 1 is the witness: the box
    // showed unchecked, and the user never touched it.)
    const SettingsValues chosen{0, 57, 56, 1};  // the seeded values with button 2's new own choice
    const SettingsValues nothingStored{-1, -1, -1, -1};
    const struct
    {
        const wchar_t* failing;    // what the server fails; empty: nothing
        SettingsValues stored;     // committed before the start
        SettingsValues committed;  // committed at the end
    } cases[] = {
        {L"GetValue", seededSettings, chosen},
        {L"SetValue", seededSettings, seededSettings},
        {L"Reload", seededSettings, chosen},
        {L"Commit", seededSettings, seededSettings},
        {L"SettingsService", seededSettings, seededSettings},
        {L"SettingsCompanion", seededSettings, seededSettings},
        // A first start: the service answers "not found" for values it never
        // stored, which is no failure. The start writes all four (own mode, no
        // own choices yet, the check box as the template has it), as other
        // readers of index 4 expect to find it.
        {L"", nothingStored, {0, 57, 56, 0}},
    };
    for (const auto& test : cases) {
        ROW_TRACE((*test.failing != L'\0' ? Narrow(test.failing) + " fails" : std::string("nothing fails")) +
                  (test.stored == nothingStored ? ", nothing stored" : ""));
        SeedDevice();
        ASSERT_TRUE(settings.Commit(test.stored));
        settings.Disconnect();  // the server must end to read its new configuration
        {
            FailingSettingsServer failing(test.failing);
            ASSERT_TRUE(failing.Ready()) << "the settings server of the case before did not end within 45 s";
            ChildProcess program(ProgramLine(L"TarvixUtility.exe"));
            HWND dialog = WaitForWindow(program);
            ASSERT_NE(nullptr, dialog) << DescribeExit(program.WaitForExit(0));
            ASSERT_TRUE(IsMainDialog(dialog));

            ASSERT_TRUE(ChooseFunction(dialog, 0, L"Zoom in"));
            EXPECT_TRUE(Click(dialog, IDC_APPLY));
            ASSERT_TRUE(ChooseFunction(dialog, 1, L"Zoom out"));
            EXPECT_TRUE(Click(dialog, IDC_OK));
            EXPECT_EQ(DescribeExit(0), DescribeExit(program.WaitForExit(timeout)));
        }
        // The buttons took the user's choices; their stored programs and keys stay.
        StoredButton first = SeedButton(1);
        StoredButton second = SeedButton(2);
        first.assignedFunction = 57;
        second.assignedFunction = 56;
        ExpectButtons(first, second);
        EXPECT_EQ(Describe(test.committed), Describe(settings.Committed()));
    }
}

TEST_F(TarvixFailures, SettingsServerDyingWhileTheDialogRunsCostsNothingStored)
{
    SeedDevice();
    ChildProcess program(ProgramLine(L"TarvixUtility.exe"));
    HWND dialog = WaitForWindow(program);
    ASSERT_NE(nullptr, dialog) << DescribeExit(program.WaitForExit(0));
    ASSERT_TRUE(IsMainDialog(dialog));
    // Opening wrote the shown values and committed them: the server now runs for
    // the dialog, which holds its objects. It dies between two of its calls.
    settings.Disconnect();
    ASSERT_TRUE(CrashSettingsServer()) << "no settings server ran, or one still ran 30 s after its crash event";

    ASSERT_TRUE(ChooseFunction(dialog, 0, L"Zoom in"));
    EXPECT_TRUE(Click(dialog, IDC_APPLY));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_APPLY)));
    EXPECT_EQ(57u, ReadButton(device, 1).assignedFunction);

    ASSERT_TRUE(ChooseFunction(dialog, 1, L"Zoom out"));
    EXPECT_TRUE(Click(dialog, IDC_OK));
    EXPECT_EQ(DescribeExit(0), DescribeExit(program.WaitForExit(timeout)));

    StoredButton first = SeedButton(1);
    StoredButton second = SeedButton(2);
    first.assignedFunction = 57;
    second.assignedFunction = 56;
    ExpectButtons(first, second);
    // A new server reads the file: what was committed before the end is whole.
    EXPECT_EQ(Describe(seededSettings), Describe(settings.Committed()));
}

}  // namespace
