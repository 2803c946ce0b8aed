#include <gtest/gtest.h>
#include "Controls.h"
#include "LanguageModule.h"
#include "support/ModalDriver.h"
#include "TestDialogs.h"

namespace {

class Controls : public testing::Test
{
protected:
    ScopedLanguageResources resources{GetCurrentModule()};
    CTestDlg dialog;

    void SetUp() override { ASSERT_TRUE(dialog.Create()); }
    void TearDown() override { dialog.DestroyWindow(); }
};

TEST_F(Controls, ComboBoxSelectsByTextFromTheItemAfterTheStartAndWrapsAround)
{
    CComboBox& combo = dialog.combo;
    for (const wchar_t* text : {L"(none)", L"Shift", L"Shift+Ctrl", L"Ctrl"})
        combo.AddString(text);
    ASSERT_EQ(4, combo.GetCount());

    EXPECT_EQ(1, combo.SelectString(0, L"shift"));   // prefix, any case, item 0 searched last
    EXPECT_EQ(2, combo.SelectString(1, L"Shift"));   // starts after item 1
    EXPECT_EQ(0, combo.SelectString(0, L"(none)"));  // found only after wrapping
    EXPECT_EQ(3, combo.SelectString(-1, L"CTRL"));
    EXPECT_EQ(CB_ERR, combo.SelectString(0, L"Alt"));
    EXPECT_EQ(3, combo.GetCurSel());  // a failed search keeps the selection
    EXPECT_EQ(2, combo.FindString(1, L"shift"));

    CString text;
    EXPECT_EQ(10, combo.GetLBText(2, text));
    EXPECT_EQ(CString(L"Shift+Ctrl"), text);
    EXPECT_EQ(CB_ERR, combo.GetLBText(9, text));
    EXPECT_TRUE(text.IsEmpty());

    combo.SetCurSel(-1);
    EXPECT_EQ(CB_ERR, combo.GetCurSel());
    combo.ResetContent();
    EXPECT_EQ(0, combo.GetCount());
}

TEST_F(Controls, ComboBoxKeepsItemDataPerItem)
{
    CComboBox& combo = dialog.combo;
    int first = 1;
    int second = 2;
    combo.AddString(L"a");
    combo.AddString(L"b");
    combo.SetItemDataPtr(0, &first);
    combo.SetItemDataPtr(1, &second);
    EXPECT_EQ(&first, combo.GetItemDataPtr(0));
    EXPECT_EQ(&second, combo.GetItemDataPtr(1));
    EXPECT_EQ(nullptr, combo.GetItemDataPtr(2));
    EXPECT_EQ(nullptr, combo.GetItemDataPtr(-1));

    combo.SetItemData(0, 0x1234);
    EXPECT_EQ(0x1234u, combo.GetItemData(0));
    EXPECT_EQ(static_cast<DWORD_PTR>(CB_ERR), combo.GetItemData(5));
}

TEST_F(Controls, ButtonStaticAndEditAnswerWhatTheControlHolds)
{
    CButton check;
    ASSERT_TRUE(check.SubclassDlgItem(IDC_TEST_CHECK, &dialog));
    EXPECT_EQ(BST_UNCHECKED, check.GetCheck());
    check.SetCheck(BST_CHECKED);
    EXPECT_EQ(BST_CHECKED, ::SendMessageW(check.m_hWnd, BM_GETCHECK, 0, 0));
    ::SendMessageW(check.m_hWnd, BM_CLICK, 0, 0);
    EXPECT_EQ(BST_UNCHECKED, check.GetCheck());

    CStatic picture;
    ASSERT_TRUE(picture.SubclassDlgItem(IDC_TEST_PICTURE, &dialog));
    unique_gdi<HBITMAP> bitmap(::CreateBitmap(4, 4, 1, 32, nullptr));
    EXPECT_EQ(nullptr, picture.SetBitmap(bitmap.get()));
    EXPECT_EQ(bitmap.get(), picture.GetBitmap());
    EXPECT_EQ(bitmap.get(), picture.SetBitmap(nullptr));

    CEdit edit;
    ASSERT_TRUE(edit.SubclassDlgItem(IDC_TEST_EDIT, &dialog));
    edit.SetWindowText(L"abcdef");
    edit.SetSel(1, 4);
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageW(edit.m_hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(1u, start);
    EXPECT_EQ(4u, end);
}

}  // namespace
