#include <gtest/gtest.h>
#include "CommandLine.h"

TEST(CommandLine, SilentSwitchWithAndWithoutANumber)
{
    StartupSwitches alone = ParseCommandLine(L"/miseban");
    EXPECT_TRUE(alone.silent);
    EXPECT_EQ(0, alone.presetNumber);
    EXPECT_FALSE(alone.halt);

    StartupSwitches three = ParseCommandLine(L"/miseban 3");
    EXPECT_TRUE(three.silent);
    EXPECT_EQ(3, three.presetNumber);

    // Nine characters: the number would start past the end.
    StartupSwitches nine = ParseCommandLine(L"/miseban7");
    EXPECT_TRUE(nine.silent);
    EXPECT_EQ(0, nine.presetNumber);

    // Whatever stands at index 8 is skipped; the number is read as _wtoi reads it.
    EXPECT_EQ(12, ParseCommandLine(L"/miseban:12abc").presetNumber);
    EXPECT_EQ(0, ParseCommandLine(L"/miseban x").presetNumber);
}

TEST(CommandLine, OnlyTheExactSwitchAtTheVeryBeginningCounts)
{
    for (const wchar_t* normal : {L"", L" /miseban", L"/MISEBAN", L"/Miseban 3", L"\"/miseban\"", L"/halt", L" /Halt",
                                  L"/Hal", L"x/miseban"}) {
        StartupSwitches switches = ParseCommandLine(normal);
        EXPECT_FALSE(switches.silent) << "command line: " << testing::PrintToString(std::wstring(normal));
        EXPECT_FALSE(switches.halt);
        EXPECT_EQ(0, switches.presetNumber);
    }
    EXPECT_TRUE(ParseCommandLine(L"/Halt").halt);
    EXPECT_TRUE(ParseCommandLine(L"/Halt now").halt);
    EXPECT_FALSE(ParseCommandLine(nullptr).silent);
}
