#pragma once
// Key names and the packed key combination the device stores:
// bits 24-31 first modifier, 16-23 second modifier, 8-15 key category, 0-7 key code.
#include <windows.h>
#include "CString.h"

namespace KeyCombination {

constexpr UINT FirstModifier(UINT32 k)
{
    return (k >> 24) & 0xFF;
}
constexpr UINT SecondModifier(UINT32 k)
{
    return (k >> 16) & 0xFF;
}
constexpr UINT Category(UINT32 k)
{
    return (k >> 8) & 0xFF;
}
constexpr UINT Key(UINT32 k)
{
    return k & 0xFF;
}
constexpr UINT32 Pack(UINT firstModifier, UINT secondModifier, UINT category, UINT key)
{
    return ((firstModifier & 0xFFu) << 24) | ((secondModifier & 0xFFu) << 16) | ((category & 0xFFu) << 8) |
           (key & 0xFFu);
}

}  // namespace KeyCombination

// Key categories of the main key; modifiers are always named with KeyNamed.
enum KeyCategory : UINT
{
    KeyNone = 0,
    KeyLetter = 1,
    KeySymbol = 2,
    KeyDigit = 3,
    KeyArrow = 4,
    KeyFunction = 5,
    KeyNamed = 6,
};

struct KeyNameRow
{
    UINT code;    // Windows virtual-key code
    UINT nameId;  // string resource with the key's name
};

constexpr int keyNameTableSize = 31;
extern const KeyNameRow keyNameTable[keyNameTableSize];

// Fills the process-wide key-name list from keyNameTable; filling again
// changes no lookup.
void FillKeyNameList();

// The name of a key of a category; string 40114 when it has none.
CString KeyName(UINT category, UINT code);
// The code of a key of a category named by text; 0 when there is none.
UINT KeyCode(UINT category, const CString& text);
// The display text of a packed key combination ("Ctrl + Shift + A").
CString KeyCombinationText(UINT32 keyCombination);
// String 40114, the text shown when there is no key.
CString NoKeyText();
