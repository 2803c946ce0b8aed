#include "InheritListBox.h"
#include <commctrl.h>

namespace {

constexpr int nameColumnWidth = 450;

}  // namespace

CInheritListBox::CInheritListBox(int tag1, int tag2, int controlId, UINT kind, SettingOption* option)
    : CListBoxItem(tag1, tag2, controlId, kind, option)
{
}

CInheritListBox::~CInheritListBox() = default;

void CInheritListBox::SetStrings(const CArray<CString>& strings)
{
    strings_.RemoveAll();
    for (INT_PTR i = 0; i < strings.GetSize(); ++i)
        strings_.Add(strings[i]);
}

LONG CInheritListBox::FillList()
{
    wchar_t noText[] = L"";
    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.fmt = LVCFMT_LEFT;
    column.cx = nameColumnWidth;
    column.pszText = noText;
    (void)SendMsg(0, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LONG_PTR>(&column));

    // The second column is there but takes no room.
    column.cx = 0;
    LONG_PTR answer = SendMsg(0, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LONG_PTR>(&column));

    for (INT_PTR i = 0; i < strings_.GetSize(); ++i) {
        LVITEMW row = {};
        row.mask = LVIF_TEXT;
        row.iItem = static_cast<int>(i);
        row.iSubItem = 0;
        row.pszText = const_cast<wchar_t*>(strings_[i].GetString());
        answer = SendMsg(0, LVM_INSERTITEMW, static_cast<UINT_PTR>(i), reinterpret_cast<LONG_PTR>(&row));
    }
    return static_cast<LONG>(answer);
}
