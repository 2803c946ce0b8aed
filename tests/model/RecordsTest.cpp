#include <gtest/gtest.h>
#include "ButtonRecords.h"
#include "FunctionIds.h"

TEST(Records, NewButtonDataIsAllZeroAndEmpty)
{
    CSpecialButtonData data;
    EXPECT_EQ(0, data.buttonId);
    EXPECT_EQ(0u, data.assignedFunctionId);
    EXPECT_EQ(0u, data.applicationFunctionId);
    EXPECT_EQ(0u, data.keyCombination);
    for (const CString* text :
         {&data.functionName, &data.applicationPath, &data.applicationArguments, &data.applicationFolder,
          &data.savedApplicationPath, &data.savedApplicationArguments, &data.savedApplicationFolder})
        EXPECT_TRUE(text->IsEmpty());
}

TEST(Records, CopyingButtonDataCopiesEveryFieldAndSelfCopyChangesNothing)
{
    CSpecialButtonData source;
    source.buttonId = 2;
    source.assignedFunctionId = 102;
    source.applicationFunctionId = 102;
    source.keyCombination = 0x11100141;
    source.functionName = L"Start a program";
    source.applicationPath = L"C:\\windows\\notepad.exe";
    source.applicationArguments = L" /a ";
    source.applicationFolder = L"C:\\windows";
    source.savedApplicationPath = L"p";
    source.savedApplicationArguments = L"a";
    source.savedApplicationFolder = L"f";

    CSpecialButtonData copy;
    copy = source;
    EXPECT_EQ(2, copy.buttonId);
    EXPECT_EQ(102u, copy.assignedFunctionId);
    EXPECT_EQ(0x11100141u, copy.keyCombination);
    EXPECT_STREQ(L" /a ", copy.applicationArguments);
    EXPECT_STREQ(L"f", copy.savedApplicationFolder);

    CSpecialButtonData& alias = copy;
    copy = alias;
    EXPECT_EQ(2, copy.buttonId);
    EXPECT_STREQ(L"C:\\windows\\notepad.exe", copy.applicationPath);
    EXPECT_STREQ(L"p", copy.savedApplicationPath);
}

TEST(Records, FunctionEntriesCopyAndReloadFromIndexZero)
{
    SpecialButtonFunctions functions;
    _SPECIAL_BUTTON_INFO entry;
    EXPECT_TRUE(entry.name.IsEmpty());
    EXPECT_TRUE(entry.actionTarget.IsEmpty());
    entry.functionId = 58;
    entry.name = L"Copy";
    entry.displayText = L"Copy";
    functions.Add(entry);
    entry.functionId = 59;
    entry.name = L"Paste";
    functions.Add(entry);
    EXPECT_STREQ(L"Copy", functions[0].name);
    EXPECT_EQ(59u, functions[1].functionId);

    functions.RemoveAll();
    entry.functionId = 201;
    functions.Add(entry);
    EXPECT_EQ(1, functions.GetSize());
    EXPECT_EQ(201u, functions[0].functionId);
}

TEST(Records, FunctionRangesOverlapAtTwoHundred)
{
    EXPECT_TRUE(FunctionIds::IsLaunch(100));
    EXPECT_TRUE(FunctionIds::IsLaunch(200));
    EXPECT_FALSE(FunctionIds::IsLaunch(201));
    EXPECT_TRUE(FunctionIds::IsKeyCombination(200));
    EXPECT_TRUE(FunctionIds::IsKeyCombination(300));
    EXPECT_FALSE(FunctionIds::IsKeyCombination(99));
    EXPECT_EQ(102u, FunctionIds::OwnLaunch(2));
    EXPECT_EQ(201u, FunctionIds::OwnKeyCombination(1));
}
