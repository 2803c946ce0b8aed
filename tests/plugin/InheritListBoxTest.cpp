// The application list item on a real list view.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "detect/InheritListBox.h"

namespace {

class ListViewWindow
{
public:
    ListViewWindow()
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        parent_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 500, 300, nullptr, nullptr, nullptr, nullptr);
        list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_NOCOLUMNHEADER, 0, 0,
                                480, 70, parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(1008)), nullptr,
                                nullptr);
    }
    ~ListViewWindow() { DestroyWindow(parent_); }
    HWND parent() const { return parent_; }
    HWND list() const { return list_; }

    int Columns() const { return static_cast<int>(SendMessageW(ListView_GetHeader(list_), HDM_GETITEMCOUNT, 0, 0)); }
    int Rows() const { return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0)); }
    std::wstring Text(int row) const
    {
        wchar_t text[128] = {};
        LVITEMW item = {};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = 128;
        SendMessageW(list_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }

private:
    HWND parent_;
    HWND list_;
};

CArray<CString> Strings(std::initializer_list<const wchar_t*> texts)
{
    CArray<CString> strings;
    for (const wchar_t* text : texts)
        strings.Add(text);
    return strings;
}

}  // namespace

TEST(InheritListBox, FillsTwoColumnsAndOneRowPerName)
{
    ListViewWindow window;
    CInheritListBox list(0, 0, 1008, 0, nullptr);
    EXPECT_TRUE(list.IsListBox());
    EXPECT_EQ(nullptr, list.GetOption());
    list.SetStrings(Strings({L"Media Center", L"Marlow Digital", L"Media Center"}));
    list.Attach(window.parent());
    EXPECT_EQ(2, list.FillList());  // the answer to the last insertion: its row index

    EXPECT_EQ(2, window.Columns());
    EXPECT_EQ(450, SendMessageW(window.list(), LVM_GETCOLUMNWIDTH, 0, 0));
    EXPECT_EQ(0, SendMessageW(window.list(), LVM_GETCOLUMNWIDTH, 1, 0));
    ASSERT_EQ(3, window.Rows());
    EXPECT_EQ(L"Media Center", window.Text(0));
    EXPECT_EQ(L"Marlow Digital", window.Text(1));
    EXPECT_EQ(L"Media Center", window.Text(2));
}

TEST(InheritListBox, NoNamesGiveTwoColumnsAndNoRows)
{
    ListViewWindow window;
    CInheritListBox list(0, 0, 1008, 0, nullptr);
    list.Attach(window.parent());
    EXPECT_EQ(1, list.FillList());  // index of the second column
    EXPECT_EQ(2, window.Columns());
    EXPECT_EQ(0, window.Rows());
}

TEST(InheritListBox, SetStringsReplacesWithCopies)
{
    CInheritListBox list(0, 0, 1008, 0, nullptr);
    list.SetStrings(Strings({L"a", L"b"}));
    CArray<CString> source = Strings({L"c"});
    list.SetStrings(source);
    source[0].SetAt(0, L'x');
    source.Add(L"d");
    ASSERT_EQ(1, list.GetStrings().GetSize());
    EXPECT_STREQ(L"c", list.GetStrings()[0]);
}
