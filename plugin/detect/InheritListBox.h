#pragma once
// The page's read-only list of detected applications: one row per name, in a
// list view with a wide text column and a hidden second column.
#include "Plenkit.h"

class CInheritListBox : public CListBoxItem
{
public:
    CInheritListBox(int tag1, int tag2, int controlId, UINT kind, SettingOption* option);
    ~CInheritListBox() override;

    // Replaces the names with copies of `strings`, in order.
    void SetStrings(const CArray<CString>& strings) override;
    // Adds the two columns and one row per name; answers the last message's answer.
    LONG FillList() override;

    const CArray<CString>& GetStrings() const noexcept { return strings_; }

private:
    CArray<CString> strings_;
};
