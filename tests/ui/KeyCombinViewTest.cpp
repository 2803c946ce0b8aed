// The key-combination dialog, run from the program's language resources and
// driven as a user would.
#include <gtest/gtest.h>
#include "support/RowTrace.h"
#include <iterator>
#include <memory>
#include <string>
#include <vector>
#include "ButtonRecords.h"
#include "DialogDriving.h"
#include "KeyCombinView.h"
#include "KeyNames.h"
#include "support/ModalDriver.h"
#include "tarvix/resource.h"

namespace {

using KeyCombination::Pack;

// The dialog run as the main dialog runs it: given the record's value, which
// takes what the dialog gives back only after OK with a change.
class KeysOn
{
public:
    explicit KeysOn(CSpecialButtonData& record) : view(record.keyCombination), record_(record) {}
    INT_PTR Run(std::function<void(CDialog&)> drive)
    {
        const INT_PTR result = RunModal(view, std::move(drive));
        if (result == IDOK && view.changed)
            record_.keyCombination = view.keyCombination;
        return result;
    }

    CKeyCombin_View view;

private:
    CSpecialButtonData& record_;
};

class KeyCombinationDialog : public testing::Test
{
protected:
    void SetUp() override { FillKeyNameList(); }

    // Opens the dialog on a record holding `value`, lets `drive` act, and
    // answers the dialog's result; the record and the dialog stay for checks.
    INT_PTR Run(UINT32 value, std::function<void(CDialog&)> drive)
    {
        data.keyCombination = value;
        dialog = std::make_unique<KeysOn>(data);
        return dialog->Run(std::move(drive));
    }

    CSpecialButtonData data;
    std::unique_ptr<KeysOn> dialog;
};

struct Shown
{
    std::wstring modifier;
    std::wstring category;
    std::wstring key;
    bool keyListEnabled = false;
    int keyCount = 0;
};

Shown Look(const CDialog& d)
{
    return {SelectedText(d, IDC_MODIFIER_LIST), SelectedText(d, IDC_CATEGORY_LIST), SelectedText(d, IDC_KEY_LIST),
            Enabled(d, IDC_KEY_LIST), ItemCount(d, IDC_KEY_LIST)};
}

void ChooseText(const CDialog& d, int listId, const std::wstring& text)
{
    const int index = IndexOf(d, listId, text);
    ASSERT_GE(index, 0) << "no item " << std::string(text.begin(), text.end());
    Choose(d, listId, index);
}

TEST_F(KeyCombinationDialog, ListsComeFromTheKeyNameStringsInOrder)
{
    std::vector<std::wstring> modifiers, categories;
    Shown shown;
    EXPECT_EQ(IDCANCEL, Run(0, [&](CDialog& d) {
                  modifiers = Items(d, IDC_MODIFIER_LIST);
                  categories = Items(d, IDC_CATEGORY_LIST);
                  shown = Look(d);
                  Click(d, IDCANCEL);
              }));

    std::vector<std::wstring> expectedModifiers;
    for (UINT id = IDS_NO_KEY; id <= IDS_MODIFIER_PAIR_LAST; ++id)
        expectedModifiers.push_back(ResourceText(id));
    EXPECT_EQ(expectedModifiers, modifiers);
    ASSERT_EQ(9u, modifiers.size());
    EXPECT_EQ(L"Ctrl+Shift", modifiers[5]);  // two names of the key-name list joined by "+"

    std::vector<std::wstring> expectedCategories{ResourceText(IDS_NO_KEY)};
    for (UINT id = IDS_CATEGORY_LETTER; id <= IDS_KEY_NEXT; ++id)
        expectedCategories.push_back(ResourceText(id));
    EXPECT_EQ(expectedCategories, categories);
    ASSERT_EQ(16u, categories.size());
    EXPECT_EQ(ResourceText(IDS_KEY_RETURN), categories[6]);
    EXPECT_EQ(ResourceText(IDS_KEY_NEXT), categories[15]);

    // Nothing stored: no modifier, no category, and no key list to choose from.
    EXPECT_EQ(ResourceText(IDS_NO_KEY), shown.modifier);
    EXPECT_EQ(ResourceText(IDS_NO_KEY), shown.category);
    EXPECT_FALSE(shown.keyListEnabled);
    EXPECT_EQ(0, shown.keyCount);
    EXPECT_EQ(0, dialog->view.changed);
}

TEST_F(KeyCombinationDialog, StoredValuesAreShownAndOkWithoutChangesKeepsThem)
{
    struct Case
    {
        UINT32 value;
        Shown expected;
    };
    const std::wstring none = ResourceText(IDS_NO_KEY);
    const std::vector<Case> cases{
        {Pack(VK_CONTROL, VK_SHIFT, KeyLetter, 'A'), {L"Ctrl+Shift", L"Letter (A-Z)", L"A", true, 26}},
        {Pack(0, VK_MENU, KeyFunction, VK_F12), {L"Alt", L"Function key (F1-F12)", L"F12", true, 12}},
        {Pack(0, VK_LWIN, KeyDigit, VK_NUMPAD7), {L"Win", L"Digit (numeric keypad)", L"7", true, 10}},
        {Pack(0, 0, KeySymbol, VK_OEM_3), {none, L"Symbol", L"`", true, 12}},
        {Pack(0, VK_CONTROL, KeyArrow, VK_UP), {L"Ctrl", L"Arrow key", L"Up Arrow", true, 4}},
        {Pack(0, VK_SHIFT, KeyNamed, VK_DELETE), {L"Shift", L"Delete", L"<none>", false, 0}},
        {Pack(0, 0, KeyNamed, VK_NEXT), {none, L"Page Down", L"<none>", false, 0}},
    };
    for (const Case& c : cases) {
        ROW_TRACE(testing::Message() << std::hex << c.value);
        CSpecialButtonData record;
        record.keyCombination = c.value;
        KeysOn view(record);
        Shown shown;
        EXPECT_EQ(IDOK, view.Run([&](CDialog& d) {
            shown = Look(d);
            Click(d, IDOK);
        }));
        EXPECT_EQ(c.expected.modifier, shown.modifier);
        EXPECT_EQ(c.expected.category, shown.category);
        EXPECT_EQ(c.expected.key, shown.key);
        EXPECT_EQ(c.expected.keyListEnabled, shown.keyListEnabled);
        EXPECT_EQ(c.expected.keyCount, shown.keyCount);
        EXPECT_EQ(0, view.view.changed);
        EXPECT_EQ(c.value, record.keyCombination);
    }
}

TEST_F(KeyCombinationDialog, ModifierItemsGoToTheirBytes)
{
    // Two names: the first in bits 24-31, the second in 16-23.
    EXPECT_EQ(IDOK, Run(Pack(0, 0, KeyLetter, 'A'), [](CDialog& d) {
                  ChooseText(d, IDC_MODIFIER_LIST, L"Ctrl+Alt");
                  Click(d, IDOK);
              }));
    EXPECT_EQ(1, dialog->view.changed);
    EXPECT_EQ(Pack(VK_CONTROL, VK_MENU, KeyLetter, 'A'), data.keyCombination);

    // One name: bits 16-23, and the first byte is cleared.
    KeysOn single(data);
    EXPECT_EQ(IDOK, single.Run([](CDialog& d) {
        ChooseText(d, IDC_MODIFIER_LIST, L"Win");
        Click(d, IDOK);
    }));
    EXPECT_EQ(Pack(0, VK_LWIN, KeyLetter, 'A'), data.keyCombination);

    // No modifier.
    KeysOn without(data);
    EXPECT_EQ(IDOK, without.Run([](CDialog& d) {
        Choose(d, IDC_MODIFIER_LIST, 0);
        Click(d, IDOK);
    }));
    EXPECT_EQ(Pack(0, 0, KeyLetter, 'A'), data.keyCombination);
}

TEST_F(KeyCombinationDialog, KeysOfEachKindAreStoredWithTheirCategoryAndCode)
{
    struct Case
    {
        int categoryItem;
        const wchar_t* key;  // null: the category item is the key
        UINT32 expected;
        bool keyListEnabled;
    };
    const std::vector<Case> cases{
        {6, nullptr, Pack(0, VK_SHIFT, KeyNamed, VK_RETURN), false},
        {11, nullptr, Pack(0, VK_SHIFT, KeyNamed, VK_ESCAPE), false},
        {5, L"F12", Pack(0, VK_SHIFT, KeyFunction, 0x7B), true},
        {5, L"F1", Pack(0, VK_SHIFT, KeyFunction, VK_F1), true},
        {3, L"7", Pack(0, VK_SHIFT, KeyDigit, 0x67), true},
        {1, L"Z", Pack(0, VK_SHIFT, KeyLetter, 'Z'), true},
        {2, L"+", Pack(0, VK_SHIFT, KeySymbol, VK_ADD), true},
        {4, L"Left Arrow", Pack(0, VK_SHIFT, KeyArrow, VK_LEFT), true},
        {0, nullptr, Pack(0, VK_SHIFT, KeyNone, 0), false},
    };
    for (const Case& c : cases) {
        ROW_TRACE(c.categoryItem);
        CSpecialButtonData record;
        record.keyCombination = Pack(0, VK_SHIFT, KeyLetter, 'Q');
        KeysOn view(record);
        Shown shown;
        EXPECT_EQ(IDOK, view.Run([&](CDialog& d) {
            Choose(d, IDC_CATEGORY_LIST, c.categoryItem);
            if (c.key != nullptr)
                ChooseText(d, IDC_KEY_LIST, c.key);
            shown = Look(d);
            Click(d, IDOK);
        }));
        EXPECT_EQ(c.expected, record.keyCombination) << std::hex << record.keyCombination;
        EXPECT_EQ(c.keyListEnabled, shown.keyListEnabled);
        if (!c.keyListEnabled) {
            EXPECT_EQ(0, shown.keyCount);
        }
    }
}

TEST_F(KeyCombinationDialog, SwitchingTheCategoryRefillsTheKeyListAndSelectsItsFirstItem)
{
    std::vector<Shown> steps;
    EXPECT_EQ(IDCANCEL, Run(Pack(0, 0, KeyNone, 0), [&](CDialog& d) {
                  for (int item : {1, 5, 1, 2, 3, 4, 7, 0}) {
                      Choose(d, IDC_CATEGORY_LIST, item);
                      steps.push_back(Look(d));
                  }
                  Click(d, IDCANCEL);
              }));
    ASSERT_EQ(8u, steps.size());
    EXPECT_EQ(26, steps[0].keyCount);
    EXPECT_EQ(L"A", steps[0].key);
    EXPECT_EQ(12, steps[1].keyCount);
    EXPECT_EQ(L"F1", steps[1].key);
    EXPECT_EQ(26, steps[2].keyCount);  // refilled, not appended to
    EXPECT_EQ(L"A", steps[2].key);
    EXPECT_EQ(static_cast<int>(ResourceText(IDS_SYMBOL_KEYS).size()), steps[3].keyCount);
    EXPECT_EQ(L"*", steps[3].key);
    EXPECT_EQ(10, steps[4].keyCount);
    EXPECT_EQ(L"0", steps[4].key);
    EXPECT_EQ(4, steps[5].keyCount);
    EXPECT_EQ(ResourceText(IDS_KEY_LEFT), steps[5].key);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(steps[i].keyListEnabled) << i;
    for (int i : {6, 7}) {
        EXPECT_FALSE(steps[i].keyListEnabled) << i;
        EXPECT_EQ(0, steps[i].keyCount) << i;
    }
    EXPECT_EQ(ResourceText(IDS_NO_KEY), steps[7].category);
    // Cancel writes nothing, whatever was chosen.
    EXPECT_EQ(0u, data.keyCombination);
}

TEST_F(KeyCombinationDialog, CancelAndUntouchedOkKeepTheValueAndAChangeStaysAChange)
{
    const UINT32 stored = Pack(VK_CONTROL, VK_MENU, KeyNamed, VK_DELETE);
    const CString text = KeyCombinationText(stored);

    EXPECT_EQ(IDCANCEL, Run(stored, [](CDialog& d) {
                  ChooseText(d, IDC_MODIFIER_LIST, L"Shift");
                  Choose(d, IDC_CATEGORY_LIST, 1);
                  Click(d, IDCANCEL);
              }));
    EXPECT_EQ(stored, data.keyCombination);
    EXPECT_EQ(text, KeyCombinationText(data.keyCombination));

    // Putting every list back still counts as a change; OK then stores the
    // value composed from the lists, which is the same value here.
    KeysOn again(data);
    EXPECT_EQ(IDOK, again.Run([](CDialog& d) {
        const int modifier = Selection(d, IDC_MODIFIER_LIST);
        const int category = Selection(d, IDC_CATEGORY_LIST);
        ChooseText(d, IDC_MODIFIER_LIST, L"Shift");
        Choose(d, IDC_MODIFIER_LIST, modifier);
        Choose(d, IDC_CATEGORY_LIST, 2);
        Choose(d, IDC_CATEGORY_LIST, category);
        Click(d, IDOK);
    }));
    EXPECT_EQ(1, again.view.changed);
    EXPECT_EQ(stored, data.keyCombination);

    // Picking the item that was already selected is no change.
    KeysOn same(data);
    EXPECT_EQ(IDOK, same.Run([](CDialog& d) {
        Choose(d, IDC_MODIFIER_LIST, Selection(d, IDC_MODIFIER_LIST));
        Choose(d, IDC_CATEGORY_LIST, Selection(d, IDC_CATEGORY_LIST));
        Click(d, IDOK);
    }));
    EXPECT_EQ(0, same.view.changed);
    EXPECT_EQ(stored, data.keyCombination);
}

TEST_F(KeyCombinationDialog, AFirstModifierAloneIsShownAsNoneAndKept)
{
    const UINT32 stored = Pack(VK_CONTROL, 0, KeyLetter, 'K');
    Shown shown;
    INT32 changedWhileOpen = -1;
    EXPECT_EQ(IDOK, Run(stored, [&](CDialog& d) {
                  shown = Look(d);
                  changedWhileOpen = dialog->view.changed;
                  Click(d, IDOK);
              }));
    EXPECT_EQ(ResourceText(IDS_NO_KEY), shown.modifier);
    EXPECT_EQ(L"K", shown.key);
    EXPECT_EQ(0, changedWhileOpen);
    EXPECT_EQ(stored, data.keyCombination);
}

TEST_F(KeyCombinationDialog, UnshowableValuesAreCleanedInTheListsOnlyAndOkStoresTheRecomposedValue)
{
    struct Case
    {
        UINT32 stored;
        UINT32 cleaned;  // what the lists show, and OK stores
    };
    const std::vector<Case> cases{
        // No modifier item "Shift+Ctrl": the modifiers go.
        {Pack(VK_SHIFT, VK_CONTROL, KeyLetter, 'A'), Pack(0, 0, KeyLetter, 'A')},
        // A letter category holding a digit's code: the key goes.
        {Pack(0, VK_CONTROL, KeyLetter, '1'), Pack(0, VK_CONTROL, 0, 0)},
        // A function-key code outside F1..F12.
        {Pack(0, VK_MENU, KeyFunction, 0x50), Pack(0, VK_MENU, 0, 0)},
        {Pack(0, VK_MENU, KeyFunction, 0x7C), Pack(0, VK_MENU, 0, 0)},
        // A named key that has no item of its own is not shown as another key.
        {Pack(0, VK_CONTROL, KeyNamed, VK_SHIFT), Pack(0, VK_CONTROL, 0, 0)},
        // Both at once.
        {Pack(VK_LWIN, VK_SHIFT, KeyArrow, 'A'), 0},
    };
    for (const Case& c : cases) {
        ROW_TRACE(testing::Message() << std::hex << c.stored);
        // Cancel: the record keeps its value, also while the dialog is open.
        CSpecialButtonData record;
        record.keyCombination = c.stored;
        KeysOn cancelled(record);
        UINT32 whileOpen = 0;
        Shown shown;
        EXPECT_EQ(IDCANCEL, cancelled.Run([&](CDialog& d) {
            whileOpen = record.keyCombination;
            shown = Look(d);
            Click(d, IDCANCEL);
        }));
        EXPECT_EQ(c.stored, whileOpen) << std::hex << whileOpen;
        EXPECT_EQ(c.stored, record.keyCombination) << std::hex << record.keyCombination;
        EXPECT_EQ(1, cancelled.view.changed);
        if ((c.cleaned & 0xFFFF) == 0) {
            EXPECT_EQ(ResourceText(IDS_NO_KEY), shown.category);
            EXPECT_FALSE(shown.keyListEnabled);
        }

        // OK without touching a list stores what the lists show.
        KeysOn confirmed(record);
        EXPECT_EQ(IDOK, confirmed.Run([](CDialog& d) { Click(d, IDOK); }));
        EXPECT_EQ(c.cleaned, record.keyCombination) << std::hex << record.keyCombination;
    }
}

}  // namespace

TEST_F(KeyCombinationDialog, KeysReachEveryControlInOrderInEachLanguage)
{
    const struct
    {
        const char* name;
        const wchar_t* file;
        wchar_t modifiers, category, key;
    } languages[] = {
        {"en-US", L"en-US\\TarvixUtility.exe.mui", L'm', L't', L'k'},
        {"de-DE", L"de-DE\\TarvixUtility.exe.mui", L'z', L'a', L't'},
    };
    for (const auto& language : languages) {
        ROW_TRACE(language.name);
        const unique_hmodule file = OpenLanguageFile(language.file);
        ASSERT_TRUE(file) << "cannot open the language file";
        ScopedLanguageResources resources(file.get());
        FillKeyNameList();

        struct Row
        {
            UINT key;
            Held held;
            int focus;
        };
        const Row rows[] = {
            {VK_TAB, Held::nothing, IDC_CATEGORY_LIST},
            {VK_TAB, Held::nothing, IDC_KEY_LIST},
            {VK_TAB, Held::nothing, IDOK},
            {VK_TAB, Held::nothing, IDCANCEL},
            {VK_TAB, Held::nothing, IDC_MODIFIER_LIST},
            {VK_TAB, Held::shift, IDCANCEL},
            {language.key, Held::alt, IDC_KEY_LIST},
            {language.category, Held::alt, IDC_CATEGORY_LIST},
            {language.modifiers, Held::alt, IDC_MODIFIER_LIST},
        };
        for (UINT end : {VK_RETURN, VK_ESCAPE}) {
            EXPECT_EQ(end == VK_RETURN ? IDOK : IDCANCEL, Run(Pack(VK_CONTROL, 0, KeyLetter, 'C'), [&](CDialog& d) {
                          EXPECT_EQ(Item(d, IDC_MODIFIER_LIST), DialogFocus(d.m_hWnd)) << "first focus";
                          for (size_t i = 0; i < std::size(rows); ++i) {
                              PressKey(d.m_hWnd, rows[i].key, rows[i].held);
                              EXPECT_EQ(Item(d, rows[i].focus), DialogFocus(d.m_hWnd)) << "row " << i;
                          }
                          // Enter presses OK and Escape cancels, from a list.
                          PressKey(d.m_hWnd, end);
                      }));
        }
    }
    FillKeyNameList();
}
