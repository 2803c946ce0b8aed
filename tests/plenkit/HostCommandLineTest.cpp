#include <gtest/gtest.h>
#include "HostCommandLine.h"

TEST(HostCommandLine, SwitchesAndPluginsInAnyOrder)
{
    const wchar_t* argv[] = {L"PlenkitHost.exe", L"A.dll", L"/QUIET", L"/page:2", L"C:\\x\\B.dll", L"/list"};
    const HostCommandLine line = ParseHostCommandLine(6, argv);
    EXPECT_TRUE(line.error.IsEmpty());
    EXPECT_TRUE(line.quiet);
    EXPECT_TRUE(line.list);
    EXPECT_EQ(2u, line.initialPage);
    ASSERT_EQ(2u, line.plugins.size());
    EXPECT_STREQ(L"A.dll", line.plugins[0]);
    EXPECT_STREQ(L"C:\\x\\B.dll", line.plugins[1]);
}

TEST(HostCommandLine, BadSwitchesAreErrors)
{
    const wchar_t* unknown[] = {L"PlenkitHost.exe", L"/verbose"};
    EXPECT_FALSE(ParseHostCommandLine(2, unknown).error.IsEmpty());
    const wchar_t* badPage[] = {L"PlenkitHost.exe", L"/page:x"};
    EXPECT_FALSE(ParseHostCommandLine(2, badPage).error.IsEmpty());
    const wchar_t* emptyPage[] = {L"PlenkitHost.exe", L"/page:"};
    EXPECT_FALSE(ParseHostCommandLine(2, emptyPage).error.IsEmpty());
    const wchar_t* none[] = {L"PlenkitHost.exe"};
    const HostCommandLine line = ParseHostCommandLine(1, none);
    EXPECT_TRUE(line.error.IsEmpty());
    EXPECT_TRUE(line.plugins.empty());
}
