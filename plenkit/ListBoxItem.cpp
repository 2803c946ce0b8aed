#include "Plenkit.h"

CListBoxItem::CListBoxItem(int tag1, int tag2, int controlId, UINT kind, SettingOption* option)
    : SettingItem(tag1, tag2, controlId, 0, kind, option)
{
    SetShape(Shape::ListBox);
}

CListBoxItem::~CListBoxItem() = default;

void CListBoxItem::SetStrings(const CArray<CString>&)
{
}

LONG CListBoxItem::FillList()
{
    return 0;
}
