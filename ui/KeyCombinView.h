#pragma once
// The dialog in which the user composes a button's key combination from three
// lists: modifiers, key category (or a named key) and the key itself. It is
// given a packed key combination and gives one back: after OK with `changed`
// set, keyCombination holds what the lists show.
//
// A stored value the lists cannot show is cleaned in the lists while the
// dialog opens and counts as a change.
#include <windows.h>
#include "Controls.h"
#include "Dialog.h"

class CKeyCombin_View : public CDialog
{
public:
    explicit CKeyCombin_View(UINT32 keys);
    ~CKeyCombin_View() override;

    BOOL OnInitDialog() override;

    // Public in the framework's dialog style: after the modal run the caller
    // reads `changed` and, when it is set, keyCombination.
    CComboBox modifierList;
    CComboBox categoryList;
    CComboBox keyList;
    INT32 changed = 0;      // 1 once a list changed or the stored value had to be cleaned
    UINT32 keyCombination;  // the packed value shown, then the one composed
    INT32 initialModifierSelection = 0;
    INT32 initialCategorySelection = 0;
    INT32 initialKeySelection = 0;

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }
    void DoDataExchange(CDataExchange* dx) override;

private:
    static const MessageMapEntry messageEntries[];

    void OnOkButton();
    void OnCategoryChanged();
    void OnModifierChanged();
    void OnKeyChanged();

    void ShowKeyCombination();
    // Fills keyList with the keys of a category; false, and the list left empty,
    // for a category without keys of its own.
    bool FillKeyList(int category);
    UINT32 ComposeKeyCombination() const;
};
