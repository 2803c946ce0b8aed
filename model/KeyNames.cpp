#include "KeyNames.h"
#include "CArray.h"
#include "tarvix/resource.h"

const KeyNameRow keyNameTable[keyNameTableSize] = {
    {VK_SPACE, IDS_KEY_SPACE},
    {VK_HOME, IDS_KEY_HOME},
    {VK_LEFT, IDS_KEY_LEFT},
    {VK_UP, IDS_KEY_UP},
    {VK_RIGHT, IDS_KEY_RIGHT},
    {VK_DOWN, IDS_KEY_DOWN},
    {VK_DELETE, IDS_KEY_DELETE},
    {VK_RETURN, IDS_KEY_RETURN},
    {VK_SHIFT, IDS_KEY_SHIFT},
    {VK_TAB, IDS_KEY_TAB},
    {VK_LWIN, IDS_KEY_WIN},
    {VK_BACK, IDS_KEY_BACK},
    {VK_CONTROL, IDS_KEY_CTRL},
    {VK_OEM_3, IDS_SYMBOL_KEYS},  // overridden by the later VK_OEM_3 row in every lookup by code
    {VK_MULTIPLY, IDS_SYMBOL_MULTIPLY},
    {VK_ADD, IDS_SYMBOL_ADD},
    {VK_SUBTRACT, IDS_SYMBOL_SUBTRACT},
    {VK_DIVIDE, IDS_SYMBOL_DIVIDE},
    {VK_OEM_1, IDS_SYMBOL_SEMICOLON},
    {VK_OEM_PLUS, IDS_SYMBOL_EQUALS},
    {VK_OEM_3, IDS_SYMBOL_GRAVE},
    {VK_OEM_4, IDS_SYMBOL_OPEN_BRACKET},
    {VK_OEM_6, IDS_SYMBOL_CLOSE_BRACKET},
    {VK_OEM_7, IDS_SYMBOL_QUOTE},
    {VK_ESCAPE, IDS_KEY_ESCAPE},
    {VK_END, IDS_KEY_END},
    {VK_MENU, IDS_KEY_ALT},
    {VK_OEM_102, IDS_SYMBOL_BACKSLASH},
    {VK_OEM_PERIOD, IDS_SYMBOL_PERIOD},
    {VK_NEXT, IDS_KEY_NEXT},
    {VK_PRIOR, IDS_KEY_PRIOR},
};

namespace {

struct KeyNamePair
{
    UINT code = 0;
    CString name;
};

CArray<KeyNamePair>& KeyNameList()
{
    static CArray<KeyNamePair> list;
    return list;
}

// Lookups take the last matching pair, so later rows win over earlier ones.
CString NameOfCode(UINT code)
{
    const CArray<KeyNamePair>& list = KeyNameList();
    for (INT_PTR i = list.GetSize() - 1; i >= 0; --i)
        if (list[i].code == code)
            return list[i].name;
    return CString();
}

UINT CodeOfName(const CString& text)
{
    const CArray<KeyNamePair>& list = KeyNameList();
    for (INT_PTR i = list.GetSize() - 1; i >= 0; --i)
        if (list[i].name.CompareNoCase(text) == 0)
            return list[i].code;
    return 0;
}

bool IsNamedCategory(UINT category)
{
    return category == KeySymbol || category == KeyArrow || category == KeyNamed;
}

// Appends a name with " + " unless the text so far is empty or the no-key text,
// which the name then replaces.
void AppendName(CString& text, const CString& name, const CString& noKey)
{
    if (!text.IsEmpty() && text.CompareNoCase(noKey) != 0)
        text += L" + " + name;
    else
        text = name;
}

}  // namespace

CString NoKeyText()
{
    return LoadText(IDS_NO_KEY);
}

void FillKeyNameList()
{
    CArray<KeyNamePair> filled;
    CString name;  // a missing string keeps the previous row's text
    for (const KeyNameRow& row : keyNameTable) {
        name.LoadString(row.nameId);
        KeyNamePair pair;
        pair.code = row.code;
        pair.name = name;
        filled.Add(pair);
    }
    KeyNameList().Copy(filled);
}

CString KeyName(UINT category, UINT code)
{
    CString name;
    switch (category) {
    case KeyLetter:
        name = CString(static_cast<wchar_t>(code == 0 ? L'A' : code), 1);
        break;
    case KeyDigit:
        name = CString(static_cast<wchar_t>((code == 0 ? VK_NUMPAD0 : code) - 48), 1);
        break;
    case KeyFunction:
        name.Format(L"F%d", static_cast<int>(code) - 111);
        break;
    default:
        if (IsNamedCategory(category))
            name = NameOfCode(code);
        break;
    }
    return name.IsEmpty() ? NoKeyText() : name;
}

UINT KeyCode(UINT category, const CString& text)
{
    switch (category) {
    case KeyLetter:
        return text.IsEmpty() ? 0 : text.GetAt(0);
    case KeyDigit:
        return text.IsEmpty() ? 0 : text.GetAt(0) + 48u;
    case KeyFunction: {
        int i = 0;
        while (i < text.GetLength() && text.GetAt(i) == L'F')
            ++i;
        UINT number = 0;
        for (; i < text.GetLength() && text.GetAt(i) >= L'0' && text.GetAt(i) <= L'9'; ++i)
            number = number < 100000 ? number * 10 + (text.GetAt(i) - L'0') : number;
        return number + 111;
    }
    default:
        return IsNamedCategory(category) ? CodeOfName(text) : 0;
    }
}

CString KeyCombinationText(UINT32 keyCombination)
{
    const CString noKey = NoKeyText();
    if (keyCombination == 0)
        return noKey;
    CString text = KeyName(KeyNamed, KeyCombination::FirstModifier(keyCombination));
    if (const UINT second = KeyCombination::SecondModifier(keyCombination))
        AppendName(text, KeyName(KeyNamed, second), noKey);
    if (const UINT key = KeyCombination::Key(keyCombination))
        AppendName(text, KeyName(KeyCombination::Category(keyCombination), key), noKey);
    return text;
}
