#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "ComTestSupport.h"
#include "FakeButtonDevice.h"
#include "KeyNames.h"
#include "ButtonController.h"
#include "tarvix/resource.h"
#include "support/TempFolder.h"

namespace {

using Calls = std::vector<std::string>;

CString Text(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}

// A file that exists for as long as the test needs it.
std::wstring ExistingProgram()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::vector<UINT32> Ids(const CSpecialButton& button)
{
    std::vector<UINT32> ids;
    for (INT_PTR i = 0; i < button.functions.GetSize(); ++i)
        ids.push_back(button.functions[i].functionId);
    return ids;
}

class SpecialButtonTest : public testing::Test
{
protected:
    FakeButtonDevice* device = new FakeButtonDevice();  // released by the test's reference
    ~SpecialButtonTest() override { device->Release(); }
};

TEST_F(SpecialButtonTest, LoadAsksTheDeviceInOrderAndFillsTheRecords)
{
    const std::wstring program = ExistingProgram();
    device->Add(58, L"Copy");
    FakeFunction& launch = device->Add(101, L"", 1);
    launch.path = program;
    launch.arguments = L"-a";
    launch.folder = L"C:\\windows";
    device->Add(201, L"", 0).keyCombination = KeyCombination::Pack(VK_CONTROL, 0, KeyLetter, 'C');
    device->assigned[1] = 201;

    CSpecialButton button(device, 1);
    ASSERT_TRUE(button.Load(0));

    const Calls expected = {
        "BeginRead",
        "NextFunction",
        "GetFunctionName(58)",
        "GetFunctionType(58)",
        "GetApplication(58)",
        "GetActionTarget(58)",
        "NextFunction",
        "GetFunctionName(101)",
        "GetFunctionType(101)",
        "GetApplication(101)",
        "GetActionTarget(101)",
        "NextFunction",
        "GetFunctionName(201)",
        "GetFunctionType(201)",
        "GetApplication(201)",
        "GetActionTarget(201)",
        "GetKeyCombination(201)",
        "NextFunction",
        "GetAssignedFunction(1)",
        "GetFunctionName(201)",
        "GetKeyCombination(201)",
        "GetApplication(201)",
        "GetApplicationFunction(1)",
        "GetApplication(101)",
    };
    EXPECT_EQ(expected, device->calls);

    ASSERT_EQ(3, button.GetFunctionCount());
    const _SPECIAL_BUTTON_INFO& copy = button.functions[0];
    EXPECT_STREQ(L"Copy", copy.name);
    EXPECT_STREQ(L"Copy", copy.displayText);
    EXPECT_EQ(0, copy.isCustomEntry);

    const _SPECIAL_BUTTON_INFO& own = button.functions[1];
    EXPECT_EQ(1, own.isCustomEntry);
    EXPECT_EQ(1, own.functionType);
    EXPECT_STREQ(Text(IDS_LAUNCH_ENTRY_NAME), own.name);
    EXPECT_STREQ(program.c_str(), own.displayText);
    EXPECT_STREQ(L"-a", own.applicationArguments);
    EXPECT_STREQ(L"C:\\windows", own.applicationFolder);

    const _SPECIAL_BUTTON_INFO& keys = button.functions[2];
    EXPECT_EQ(1, keys.isCustomEntry);
    EXPECT_STREQ(Text(IDS_KEY_ENTRY_NAME), keys.name);
    EXPECT_EQ(KeyCombination::Pack(VK_CONTROL, 0, KeyLetter, 'C'), keys.keyCombination);
    EXPECT_STREQ(KeyName(KeyNamed, VK_CONTROL) + L" + C", keys.displayText);

    const CSpecialButtonData* data = button.GetData();
    EXPECT_EQ(&button.data, data);
    EXPECT_EQ(1, data->buttonId);
    EXPECT_EQ(201u, button.GetAssignedFunctionId());
    EXPECT_EQ(keys.keyCombination, data->keyCombination);
    EXPECT_TRUE(data->functionName.IsEmpty());  // the device has no name for it
    EXPECT_EQ(101u, data->applicationFunctionId);
    EXPECT_STREQ(program.c_str(), data->savedApplicationPath);
    EXPECT_STREQ(L"-a", data->savedApplicationArguments);
}

TEST_F(SpecialButtonTest, LaunchPlaceholderGoesBefore201OnlyWhenTheLaunchEntryWasNotSeen)
{
    struct Case
    {
        const char* what;
        INT32 button;
        std::vector<ULONG> listed;
        ULONG endId;
        std::vector<UINT32> expected;
    };
    const Case cases[] = {
        {"201 without 101", 1, {58, 201}, 0, {58, 101, 201}},
        {"101 before 201", 1, {101, 201}, 0, {101, 201}},
        {"101 only after 201", 1, {201, 101}, 0, {101, 201, 101}},
        {"201 delivered with the end", 1, {58}, 201, {58, 101}},
        {"the other button's own entries", 2, {58, 101, 201}, 0, {58, 102}},
    };
    for (const Case& c : cases) {
        FakeButtonDevice* fake = new FakeButtonDevice();
        for (ULONG id : c.listed) {
            if (id == 58)
                fake->Add(id, L"Copy");
            else
                fake->Add(id, L"", id < 200 ? 1 : 0);
        }
        fake->endId = c.endId;
        fake->assigned[c.button] = 58;
        CSpecialButton button(fake, c.button);
        EXPECT_TRUE(button.Load(0)) << c.what;
        EXPECT_EQ(c.expected, Ids(button)) << c.what;
        for (INT_PTR i = 0; i < button.functions.GetSize(); ++i) {
            const _SPECIAL_BUTTON_INFO& entry = button.functions[i];
            if (entry.functionId == static_cast<UINT32>(c.button + 100)) {
                EXPECT_EQ(1, entry.isCustomEntry) << c.what;
                EXPECT_STREQ(Text(IDS_LAUNCH_ENTRY_NAME), entry.name) << c.what;
                EXPECT_TRUE(entry.applicationPath.IsEmpty()) << c.what;
            }
        }
        fake->Release();
    }
}

TEST_F(SpecialButtonTest, EntriesThatCannotBeUsedAreDroppedAndEmptyTextsFilled)
{
    const ScopedTempFolder temp(L"sb-entries");
    const std::wstring plainFolder = temp.path() + L"plain-folder";
    ASSERT_TRUE(CreateDirectoryW(plainFolder.c_str(), nullptr));
    ASSERT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY), GetFileAttributesW(plainFolder.c_str()) & 0xFF);

    device->Add(150, L"Missing program").path = L"C:\\no\\such\\program.exe";
    device->Add(151, L"A folder").path = plainFolder;
    device->Add(152, L"Existing program").path = ExistingProgram();
    device->Add(60, L"");      // no name: dropped
    device->Add(101, L"", 1);  // own launch entry without a program
    device->Add(201, L"", 0);  // own key entry without keys
    device->assigned[1] = 60;

    CSpecialButton button(device, 1);
    ASSERT_TRUE(button.Load(0));

    EXPECT_EQ((std::vector<UINT32>{152, 101, 201}), Ids(button));
    // Only the button's own launch entry shows its program; others their name.
    EXPECT_STREQ(L"Existing program", button.functions[0].displayText);
    EXPECT_STREQ(ExistingProgram().c_str(), button.functions[0].applicationPath);
    // The launch entry without a program shows its name through text 1232.
    EXPECT_STREQ(FunctionTextFromName(Text(IDS_LAUNCH_ENTRY_NAME)), button.functions[1].displayText);
    EXPECT_FALSE(button.functions[1].displayText.IsEmpty());
    EXPECT_STREQ(Text(IDS_NO_KEY), button.functions[2].displayText);
    EXPECT_EQ(0u, button.functions[2].keyCombination);
}

TEST_F(SpecialButtonTest, FunctionTextPutsTheNameInPlaceOfItsPlaceholderOnly)
{
    CString format = Text(IDS_FUNCTION_TEXT_FORMAT);
    ASSERT_GE(format.Find(L"%s"), 0);
    CString expected = format;
    expected.Format(format, L"Zoom 100%");
    EXPECT_STREQ(expected, FunctionTextFromName(L"Zoom 100%"));
    // Printf directives in the name stay text.
    EXPECT_GE(FunctionTextFromName(L"%s%d%n").Find(L"%s%d%n"), 0);
}

TEST_F(SpecialButtonTest, LoadFailsOnAnEmptyListOrAFailingDeviceQuery)
{
    struct Case
    {
        const char* failing;  // null: the list is empty
        bool loads;
        const char* lastCall;
    };
    const Case cases[] = {
        {nullptr, false, "NextFunction"},
        {"BeginRead", false, "BeginRead"},
        {"GetAssignedFunction", false, "GetAssignedFunction(1)"},
        {"GetApplicationFunction", false, "GetApplicationFunction(1)"},
        // These only leave fields empty.
        {"GetFunctionType", true, "GetApplication(101)"},
        {"GetApplication", true, "GetApplication(101)"},
        {"GetActionTarget", true, "GetApplication(101)"},
        {"GetKeyCombination", true, "GetApplication(101)"},
    };
    for (const Case& c : cases) {
        FakeButtonDevice* fake = new FakeButtonDevice();
        if (c.failing != nullptr) {
            fake->Add(58, L"Copy");
            fake->failing.insert(c.failing);
        }
        fake->assigned[1] = 58;
        CSpecialButton button(fake, 1);
        const std::string what = c.failing != nullptr ? c.failing : "empty list";
        EXPECT_EQ(c.loads ? TRUE : FALSE, button.Load(0)) << what;
        ASSERT_FALSE(fake->calls.empty());
        EXPECT_EQ(c.lastCall, fake->calls.back()) << what;
        if (c.loads) {
            ASSERT_EQ(1, button.GetFunctionCount()) << what;
            EXPECT_STREQ(L"Copy", button.functions[0].name) << what;
        }
        fake->Release();
    }
}

TEST_F(SpecialButtonTest, RepeatedLoadRebuildsTheListFromScratch)
{
    const ScopedTempFolder temp(L"sb-reload");
    const std::wstring program = temp.MakeFile(L"program.exe");
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(program.c_str()));

    device->Add(58, L"Copy");
    device->Add(101, L"", 1).path = program;
    device->assigned[1] = 58;
    CSpecialButton button(device, 1);
    ASSERT_TRUE(button.Load(0));
    EXPECT_EQ((std::vector<UINT32>{58, 101}), Ids(button));

    // The program goes away: its entry goes with the next Load, nothing is kept twice.
    DeleteFileW(program.c_str());
    device->Add(59, L"Paste");
    ASSERT_TRUE(button.Load(0));
    EXPECT_EQ((std::vector<UINT32>{58, 59}), Ids(button));
}

TEST_F(SpecialButtonTest, ApplyWritesTheAssignmentAndWhatItsRangeNeeds)
{
    struct Case
    {
        UINT32 function;
        const wchar_t* path;
        const wchar_t* arguments;
        const wchar_t* folder;
        Calls expected;
    };
    const Case cases[] = {
        {150, L"C:\\p.exe", L"", L"", {"SetAssignedFunction(1,150)", "SetApplication('C:\\p.exe',null,null)"}},
        {150, L"", L"-x", L"C:\\", {"SetAssignedFunction(1,150)"}},
        {100,
         L"C:\\p.exe",
         L"-x",
         L"C:\\w",
         {"SetAssignedFunction(1,100)", "SetApplication('C:\\p.exe','-x','C:\\w')"}},
        {200,
         L"C:\\p.exe",
         L"-x",
         L"",
         {"SetAssignedFunction(1,200)", "SetApplication('C:\\p.exe','-x',null)", "SetKeyCombination(0x11000141)"}},
        {201, L"C:\\p.exe", L"", L"", {"SetAssignedFunction(1,201)", "SetKeyCombination(0x11000141)"}},
        {300, L"", L"", L"", {"SetAssignedFunction(1,300)", "SetKeyCombination(0x11000141)"}},
        {58, L"C:\\p.exe", L"", L"", {"SetAssignedFunction(1,58)"}},
        {99, L"C:\\p.exe", L"", L"", {"SetAssignedFunction(1,99)"}},
        {301, L"", L"", L"", {"SetAssignedFunction(1,301)"}},
    };
    for (const Case& c : cases) {
        device->calls.clear();
        CSpecialButton button(device, 1);
        button.data.assignedFunctionId = c.function;
        button.data.applicationPath = c.path;
        button.data.applicationArguments = c.arguments;
        button.data.applicationFolder = c.folder;
        button.data.keyCombination = 0x11000141;
        EXPECT_TRUE(button.Apply()) << "function " << c.function;
        EXPECT_EQ(c.expected, device->calls) << "function " << c.function;
    }

    // After a refused assignment neither program nor keys follow: the device
    // would file them under the function it still holds.
    device->failing.insert("SetAssignedFunction");
    for (UINT32 function : {102u, 200u, 202u}) {
        device->calls.clear();
        CSpecialButton button(device, 2);
        button.data.assignedFunctionId = function;
        button.data.applicationPath = L"C:\\p.exe";
        button.data.keyCombination = 0x11000141;
        EXPECT_FALSE(button.Apply()) << "function " << function;
        EXPECT_EQ(Calls{"SetAssignedFunction(2," + std::to_string(function) + ")"}, device->calls);
    }
}

TEST_F(SpecialButtonTest, UnreadableKeyCombinationIsNotWrittenBackAsNone)
{
    device->Add(201, L"", 0).keyCombination = KeyCombination::Pack(0, VK_CONTROL, KeyLetter, 'C');
    device->assigned[1] = 201;
    device->failing.insert("GetKeyCombination");
    CSpecialButton button(device, 1);
    ASSERT_TRUE(button.Load(0));
    ASSERT_EQ((std::vector<UINT32>{101, 201}), Ids(button));  // with the launch placeholder
    EXPECT_EQ(0u, button.functions[1].keyCombination);        // shown as no key

    // Applied as loaded: the device keeps the combination it could not report.
    device->calls.clear();
    button.data.keyCombination = button.functions[1].keyCombination;
    button.Apply();
    EXPECT_EQ(Calls{"SetAssignedFunction(1,201)"}, device->calls);

    // A combination the user composed goes to the device.
    device->calls.clear();
    button.data.keyCombination = KeyCombination::Pack(0, VK_SHIFT, KeyLetter, 'V');
    button.Apply();
    EXPECT_EQ((Calls{"SetAssignedFunction(1,201)", "SetKeyCombination(0x00100156)"}), device->calls);

    // Once the device reports it again, a value of none is the user's and is written.
    device->failing.clear();
    ASSERT_TRUE(button.Load(0));
    device->calls.clear();
    button.data.keyCombination = 0;
    button.Apply();
    EXPECT_EQ((Calls{"SetAssignedFunction(1,201)", "SetKeyCombination(0x00000000)"}), device->calls);
}

TEST_F(SpecialButtonTest, SetDefaultGivesTheFirstTwoButtonsTheirPresetPair)
{
    device->Add(58, L"Copy");
    device->assigned = {{1, 51}, {2, 50}, {3, 66}};
    for (INT32 id : {1, 2, 3}) {
        CSpecialButton button(device, id);
        ASSERT_TRUE(button.Load(0));
        device->calls.clear();
        EXPECT_TRUE(button.SetDefault());
        EXPECT_EQ(id == 1 ? 58u : id == 2 ? 59u : 66u, button.GetAssignedFunctionId());
        EXPECT_EQ(1, button.GetFunctionCount());  // nothing else changes
        EXPECT_TRUE(device->calls.empty());       // and nothing reaches the device yet
    }
    CSpecialButton button(device, 1);
    EXPECT_TRUE(button.TakeStrings(SysAllocString(L"a"), nullptr, SysAllocString(L"c")));
    EXPECT_TRUE(button.TakeValues(1, 2, 3));
    EXPECT_TRUE(device->calls.empty());
}

}  // namespace
