#include <gtest/gtest.h>
#include "KeyNames.h"
#include "tarvix/resource.h"

namespace {

CString Text(UINT id)
{
    CString text;
    EXPECT_TRUE(text.LoadString(id)) << "string " << id;
    return text;
}

class KeyNames : public testing::Test
{
protected:
    void SetUp() override { FillKeyNameList(); }
};

}  // namespace

TEST_F(KeyNames, LaterRowOfADuplicatedCodeWins)
{
    EXPECT_STREQ(Text(IDS_SYMBOL_GRAVE), KeyName(KeySymbol, VK_OEM_3));
    EXPECT_STREQ(Text(IDS_SYMBOL_GRAVE), KeyName(KeyNamed, VK_OEM_3));
    // The whole symbol string only names a key when looked up by exactly that text.
    EXPECT_EQ(static_cast<UINT>(VK_OEM_3), KeyCode(KeySymbol, Text(IDS_SYMBOL_KEYS)));
}

TEST_F(KeyNames, ComputedCategoriesNameCodeZeroAndFunctionKeys)
{
    EXPECT_STREQ(L"A", KeyName(KeyLetter, 0));
    EXPECT_STREQ(L"Q", KeyName(KeyLetter, 'Q'));
    EXPECT_STREQ(L"0", KeyName(KeyDigit, 0));
    EXPECT_STREQ(L"7", KeyName(KeyDigit, VK_NUMPAD7));
    EXPECT_STREQ(L"F5", KeyName(KeyFunction, 116));
    EXPECT_STREQ(L"F12", KeyName(KeyFunction, VK_F12));
}

TEST_F(KeyNames, UnknownCategoryOrCodeYieldsTheNoKeyText)
{
    const CString none = Text(IDS_NO_KEY);
    EXPECT_STREQ(none, KeyName(KeyNone, 'A'));
    EXPECT_STREQ(none, KeyName(7, 'A'));
    EXPECT_STREQ(none, KeyName(KeyNamed, 0));
    EXPECT_STREQ(none, KeyName(KeyArrow, 'A'));
    EXPECT_EQ(0u, KeyCode(KeyNone, L"A"));
    EXPECT_EQ(0u, KeyCode(9, L"A"));
    EXPECT_EQ(0u, KeyCode(KeyNamed, none));
    EXPECT_EQ(0u, KeyCode(KeyNamed, L"no such key"));
}

TEST_F(KeyNames, KeyCodeRoundTripsEveryNameOfEveryCategory)
{
    for (UINT code = 'A'; code <= 'Z'; ++code)
        EXPECT_EQ(code, KeyCode(KeyLetter, KeyName(KeyLetter, code)));
    for (UINT code = VK_NUMPAD0; code <= VK_NUMPAD9; ++code)
        EXPECT_EQ(code, KeyCode(KeyDigit, KeyName(KeyDigit, code)));
    for (UINT code = VK_F1; code <= VK_F12; ++code)
        EXPECT_EQ(code, KeyCode(KeyFunction, KeyName(KeyFunction, code)));
    for (const KeyNameRow& row : keyNameTable) {
        if (row.nameId == IDS_SYMBOL_KEYS)
            continue;  // shadowed by the later row of the same code
        for (UINT category : {KeySymbol, KeyArrow, KeyNamed})
            EXPECT_EQ(row.code, KeyCode(category, KeyName(category, row.code))) << "code " << row.code;
    }
    const CString symbols = Text(IDS_SYMBOL_KEYS);
    for (int i = 0; i < symbols.GetLength(); ++i) {
        const UINT code = KeyCode(KeySymbol, CString(symbols.GetAt(i), 1));
        EXPECT_NE(0u, code) << "symbol " << i;
        EXPECT_STREQ(CString(symbols.GetAt(i), 1), KeyName(KeySymbol, code));
    }
    EXPECT_EQ(static_cast<UINT>(VK_RETURN), KeyCode(KeyNamed, Text(IDS_KEY_RETURN).MakeUpper()));
}

TEST_F(KeyNames, FunctionKeyTextIsReadAfterLeadingCapitalF)
{
    EXPECT_EQ(123u, KeyCode(KeyFunction, L"F12"));
    EXPECT_EQ(123u, KeyCode(KeyFunction, L"FF12x"));
    EXPECT_EQ(111u, KeyCode(KeyFunction, L"f12"));
    EXPECT_EQ(111u, KeyCode(KeyFunction, L""));
}

TEST_F(KeyNames, RefillingTheListChangesNoLookup)
{
    const CString before = KeyName(KeyNamed, VK_CONTROL);
    const UINT code = KeyCode(KeySymbol, Text(IDS_SYMBOL_GRAVE));
    FillKeyNameList();
    FillKeyNameList();
    EXPECT_STREQ(before, KeyName(KeyNamed, VK_CONTROL));
    EXPECT_EQ(code, KeyCode(KeySymbol, Text(IDS_SYMBOL_GRAVE)));
    EXPECT_STREQ(Text(IDS_SYMBOL_GRAVE), KeyName(KeySymbol, VK_OEM_3));
}

TEST_F(KeyNames, TwoNameModifierItemsAreMadeOfListNames)
{
    for (UINT id = IDS_MODIFIER_PAIR_FIRST; id <= IDS_MODIFIER_PAIR_LAST; ++id) {
        const CString pair = Text(id);
        const int plus = pair.Find(L'+');
        ASSERT_GT(plus, 0) << pair.GetString();
        EXPECT_NE(0u, KeyCode(KeyNamed, pair.Left(plus))) << pair.GetString();
        EXPECT_NE(0u, KeyCode(KeyNamed, pair.Mid(plus + 1))) << pair.GetString();
    }
}

TEST_F(KeyNames, CombinationTextFollowsTheReplaceOrAppendRule)
{
    const CString ctrl = Text(IDS_KEY_CTRL);
    const CString shift = Text(IDS_KEY_SHIFT);
    EXPECT_STREQ(Text(IDS_NO_KEY), KeyCombinationText(0));
    // Only the second modifier: its name alone.
    EXPECT_STREQ(shift, KeyCombinationText(KeyCombination::Pack(0, VK_SHIFT, 0, 0)));
    // Only the first modifier: its name alone.
    EXPECT_STREQ(ctrl, KeyCombinationText(KeyCombination::Pack(VK_CONTROL, 0, 0, 0)));
    // No first modifier: the key replaces the no-key text instead of being appended.
    EXPECT_STREQ(L"F5", KeyCombinationText(KeyCombination::Pack(0, 0, KeyFunction, 116)));
    EXPECT_STREQ(shift + L" + Q", KeyCombinationText(KeyCombination::Pack(0, VK_SHIFT, KeyLetter, 'Q')));
    EXPECT_STREQ(ctrl + L" + " + shift + L" + 7",
                 KeyCombinationText(KeyCombination::Pack(VK_CONTROL, VK_SHIFT, KeyDigit, VK_NUMPAD7)));
    // A first modifier that names nothing reads as the no-key text and is then replaced.
    EXPECT_STREQ(L"Z", KeyCombinationText(KeyCombination::Pack(0x07, 0, KeyLetter, 'Z')));
}
