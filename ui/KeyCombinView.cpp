#include "KeyCombinView.h"
#include "DataExchange.h"
#include "KeyNames.h"
#include "MessageMap.h"
#include "tarvix/resource.h"

namespace {

// Category list: item n < 6 is key category n, items 6.. are the named keys themselves.
constexpr int firstNamedKeyItem = 6;

// Adds the strings first..last in order. A string that is missing repeats the
// text of the one before it, so the item positions stay what the code expects.
void AddStrings(CComboBox& list, CString& text, UINT first, UINT last)
{
    for (UINT id = first; id <= last; ++id) {
        text.LoadString(id);
        list.AddString(text);
    }
}

CString SelectedText(const CComboBox& list)
{
    CString text;
    const int selected = list.GetCurSel();
    if (selected >= 0)
        list.GetLBText(selected, text);
    return text;
}

}  // namespace

const MessageMapEntry CKeyCombin_View::messageEntries[] = {
    MapCommand<&CKeyCombin_View::OnOkButton>(BN_CLICKED, IDOK),
    MapCommand<&CKeyCombin_View::OnCategoryChanged>(CBN_SELCHANGE, IDC_CATEGORY_LIST),
    MapCommand<&CKeyCombin_View::OnModifierChanged>(CBN_SELCHANGE, IDC_MODIFIER_LIST),
    MapCommand<&CKeyCombin_View::OnKeyChanged>(CBN_SELCHANGE, IDC_KEY_LIST),
};
const MessageMap CKeyCombin_View::messageMap = MakeMessageMap(&CDialog::messageMap, CKeyCombin_View::messageEntries);

CKeyCombin_View::CKeyCombin_View(UINT32 keys) : CDialog(IDD_KEY_COMBINATION), keyCombination(keys)
{
}

CKeyCombin_View::~CKeyCombin_View() = default;

void CKeyCombin_View::DoDataExchange(CDataExchange* dx)
{
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_MODIFIER_LIST, modifierList);
    DDX_Control(dx, IDC_CATEGORY_LIST, categoryList);
    DDX_Control(dx, IDC_KEY_LIST, keyList);
}

BOOL CKeyCombin_View::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The names below are looked up in the key-name list; filling it again is harmless.
    FillKeyNameList();

    CString text;
    AddStrings(modifierList, text, IDS_NO_KEY, IDS_MODIFIER_PAIR_LAST);
    text.Empty();
    AddStrings(categoryList, text, IDS_NO_KEY, IDS_NO_KEY);
    AddStrings(categoryList, text, IDS_CATEGORY_LETTER, IDS_KEY_NEXT);
    keyList.SendMessage(WM_CLEAR);

    ShowKeyCombination();

    initialModifierSelection = modifierList.GetCurSel();
    initialCategorySelection = categoryList.GetCurSel();
    initialKeySelection = keyList.GetCurSel();
    return TRUE;
}

void CKeyCombin_View::ShowKeyCombination()
{
    const UINT32 k = keyCombination;
    const UINT m1 = KeyCombination::FirstModifier(k);
    const UINT m2 = KeyCombination::SecondModifier(k);
    const int category = static_cast<int>(KeyCombination::Category(k));
    const UINT key = KeyCombination::Key(k);

    keyList.ResetContent();

    // The modifier items read "Name" or "First+Second"; a first modifier alone
    // has no item and shows as none.
    CString modifiers;
    if (m2 != 0) {
        if (m1 != 0)
            modifiers = KeyName(KeyNamed, m1) + L"+";
        modifiers += KeyName(KeyNamed, m2);
    } else {
        modifiers = NoKeyText();
    }
    // A value the lists cannot show is cleaned in the lists only: OK gives back
    // what they show, Cancel nothing.
    if (modifierList.SelectString(0, modifiers) == CB_ERR) {
        modifierList.SetCurSel(0);
        changed = 1;
    }

    categoryList.SetCurSel(category);
    switch (category) {
    case KeyLetter:
    case KeySymbol:
    case KeyDigit:
    case KeyArrow:
        FillKeyList(category);
        keyList.EnableWindow(TRUE);
        keyList.SelectString(0, KeyName(category, key));
        break;
    case KeyFunction:
        FillKeyList(category);
        keyList.EnableWindow(TRUE);
        keyList.SetCurSel(static_cast<int>(key) - VK_F1);  // F1 is item 0
        break;
    case KeyNamed:
        keyList.EnableWindow(FALSE);
        // A key without an item of its own would otherwise be shown as the item
        // that happened to be selected: leave none, so that it is cleaned below.
        if (categoryList.SelectString(0, KeyName(KeyNamed, key)) < firstNamedKeyItem)
            categoryList.SetCurSel(-1);
        break;
    default:
        keyList.EnableWindow(FALSE);
        categoryList.SetCurSel(0);
        break;
    }

    if (categoryList.GetCurSel() < 0 || (keyList.IsWindowEnabled() && keyList.GetCurSel() < 0)) {
        categoryList.SetCurSel(0);
        keyList.ResetContent();
        keyList.EnableWindow(FALSE);
        changed = 1;
    }
}

bool CKeyCombin_View::FillKeyList(int category)
{
    CString text;
    switch (category) {
    case KeyLetter:
        for (int letter = L'A'; letter <= L'Z'; ++letter) {
            text.Format(L"%c", letter);
            keyList.AddString(text);
        }
        return true;
    case KeySymbol: {
        CString symbols;
        symbols.LoadString(IDS_SYMBOL_KEYS);
        for (int i = 0; i < symbols.GetLength(); ++i)
            keyList.AddString(CString(symbols.GetAt(i), 1));
        return true;
    }
    case KeyDigit:
        for (int digit = 0; digit <= 9; ++digit) {
            text.Format(L"%d", digit);
            keyList.AddString(text);
        }
        return true;
    case KeyArrow:
        AddStrings(keyList, text, IDS_KEY_LEFT, IDS_KEY_DOWN);
        return true;
    case KeyFunction:
        for (int number = 1; number <= 12; ++number) {
            text.Format(L"F%d", number);
            keyList.AddString(text);
        }
        return true;
    default:
        return false;
    }
}

void CKeyCombin_View::OnCategoryChanged()
{
    keyList.ResetContent();
    const int selected = categoryList.GetCurSel();
    if (selected != initialCategorySelection)
        changed = 1;
    if (selected >= static_cast<int>(KeyLetter) && selected <= static_cast<int>(KeyFunction)) {
        FillKeyList(selected);
        keyList.EnableWindow(TRUE);
    } else {
        keyList.EnableWindow(FALSE);
        if (selected <= 0)
            categoryList.SetCurSel(0);
    }
    keyList.SetCurSel(0);
}

void CKeyCombin_View::OnModifierChanged()
{
    if (modifierList.GetCurSel() != initialModifierSelection)
        changed = 1;
}

void CKeyCombin_View::OnKeyChanged()
{
    if (keyList.GetCurSel() != initialKeySelection)
        changed = 1;
}

void CKeyCombin_View::OnOkButton()
{
    if (!UpdateData(TRUE))
        return;
    if (changed)
        keyCombination = ComposeKeyCombination();
    CDialog::OnOK();
}

UINT32 CKeyCombin_View::ComposeKeyCombination() const
{
    // "First+Second" gives both modifiers; a single name is the second modifier.
    const CString modifiers = SelectedText(modifierList);
    const int plus = modifiers.Find(L'+');
    const CString first = plus >= 0 ? modifiers.Left(plus) : CString();
    const CString second = plus >= 0 ? modifiers.Mid(plus + 1) : modifiers;

    const int selected = categoryList.GetCurSel();
    UINT category = KeyNone;
    CString keyText;
    if (selected >= firstNamedKeyItem) {
        category = KeyNamed;
        categoryList.GetLBText(selected, keyText);
    } else if (selected > 0) {
        category = static_cast<UINT>(selected);
        keyText = SelectedText(keyList);
    }
    // No key chosen in a category of its own: store no key rather than what an
    // empty text would convert to.
    UINT code = 0;
    if (category != KeyNone && !keyText.IsEmpty())
        code = KeyCode(category, keyText);
    else
        category = KeyNone;

    return KeyCombination::Pack(KeyCode(KeyNamed, first), KeyCode(KeyNamed, second), category, code);
}
