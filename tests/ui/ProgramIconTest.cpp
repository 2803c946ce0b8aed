#include <gtest/gtest.h>
#include "Handles.h"
#include "ButtonView.h"
#include "ProgramIcon.h"
#include "Presets.h"

TEST(ProgramIcon, CommandTextSplitsAtItsQuotes)
{
    CString program, arguments;
    SplitCommandText(L"\"C:\\Program Files\\Tool\\run.exe\"  -fast  ", program, arguments);
    EXPECT_STREQ(L"C:\\Program Files\\Tool\\run.exe", program);
    EXPECT_STREQ(L"-fast", arguments);

    SplitCommandText(L"C:\\windows\\notepad.exe", program, arguments);
    EXPECT_STREQ(L"C:\\windows\\notepad.exe", program);
    EXPECT_TRUE(arguments.IsEmpty());

    SplitCommandText(L"\"\"\"C:\\a.exe\"\"x", program, arguments);
    EXPECT_STREQ(L"C:\\a.exe", program);
    EXPECT_STREQ(L"x", arguments);

    // No closing quote, or nothing after the opening quotes: the whole text.
    SplitCommandText(L"\"C:\\a.exe", program, arguments);
    EXPECT_STREQ(L"\"C:\\a.exe", program);
    SplitCommandText(L"run \"\"", program, arguments);
    EXPECT_STREQ(L"run \"\"", program);
    EXPECT_TRUE(arguments.IsEmpty());
}

TEST(ProgramIcon, LabelIsTheFileNameWithoutExtension)
{
    EXPECT_STREQ(L"run.me", ProgramLabelText(L"C:\\Tools\\run.me.exe"));
    EXPECT_STREQ(L"notepad", ProgramLabelText(L"notepad.exe"));
    EXPECT_STREQ(L"Makefile", ProgramLabelText(L"C:\\src\\Makefile"));
    EXPECT_STREQ(L"", ProgramLabelText(L"C:\\Tools\\"));
}

TEST(ProgramIcon, ProgramWithIconsYieldsOneAndNothingYieldsNone)
{
    unique_hicon icon(LoadProgramIcon(L"C:\\windows\\notepad.exe", true));
    EXPECT_TRUE(icon.valid());
    unique_hicon quoted(LoadProgramIcon(L"\"C:\\windows\\notepad.exe\" readme.txt", true));
    EXPECT_TRUE(quoted.valid());
    unique_hicon none(LoadProgramIcon(L"", true));
    EXPECT_FALSE(none.valid());
}

TEST(Presets, AvailableWhenEachButtonOffersItsOwnFunction)
{
    SpecialButtonFunctions left, right;
    _SPECIAL_BUTTON_INFO entry;
    for (UINT32 id : {58u, 60u, 60u, 66u, 66u}) {
        entry.functionId = id;
        left.Add(entry);
    }
    for (UINT32 id : {59u, 61u, 66u}) {
        entry.functionId = id;
        right.Add(entry);
    }
    EXPECT_TRUE(IsPresetAvailable(presetTable[1], &left, &right));   // 58 and 59 once each
    EXPECT_FALSE(IsPresetAvailable(presetTable[3], &left, &right));  // 60 twice cannot stand in for 62
    EXPECT_TRUE(IsPresetAvailable(presetTable[6], &left, &right));   // 66 twice on the left, once on the right
    EXPECT_FALSE(IsPresetAvailable(presetTable[0], &left, &right));  // neither
    EXPECT_FALSE(IsPresetAvailable(presetTable[4], &left, &right));  // 61 only on the left's side
    EXPECT_FALSE(IsPresetAvailable(presetTable[1], &left, nullptr));
    EXPECT_EQ(0u, presetTable[ownSettingsPreset].function0);
}
