#include "Controls.h"

namespace {

LRESULT Send(const CWnd& control, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    return ::SendMessageW(control.m_hWnd, message, wParam, lParam);
}

LPARAM Text(const wchar_t* text)
{
    return reinterpret_cast<LPARAM>(text != nullptr ? text : L"");
}

}  // namespace

int CButton::GetCheck() const
{
    return static_cast<int>(Send(*this, BM_GETCHECK));
}

void CButton::SetCheck(int state)
{
    Send(*this, BM_SETCHECK, static_cast<WPARAM>(state));
}

HBITMAP CStatic::SetBitmap(HBITMAP bitmap)
{
    return reinterpret_cast<HBITMAP>(Send(*this, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
}

HBITMAP CStatic::GetBitmap() const
{
    return reinterpret_cast<HBITMAP>(Send(*this, STM_GETIMAGE, IMAGE_BITMAP));
}

void CEdit::SetSel(int start, int end, BOOL noScroll)
{
    Send(*this, EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
    if (!noScroll)
        Send(*this, EM_SCROLLCARET);
}

int CComboBox::GetCount() const
{
    return static_cast<int>(Send(*this, CB_GETCOUNT));
}

int CComboBox::GetCurSel() const
{
    return static_cast<int>(Send(*this, CB_GETCURSEL));
}

int CComboBox::SetCurSel(int index)
{
    return static_cast<int>(Send(*this, CB_SETCURSEL, static_cast<WPARAM>(index)));
}

int CComboBox::AddString(const wchar_t* text)
{
    return static_cast<int>(Send(*this, CB_ADDSTRING, 0, Text(text)));
}

void CComboBox::ResetContent()
{
    Send(*this, CB_RESETCONTENT);
}

int CComboBox::SelectString(int startAfter, const wchar_t* text)
{
    return static_cast<int>(Send(*this, CB_SELECTSTRING, static_cast<WPARAM>(startAfter), Text(text)));
}

int CComboBox::FindString(int startAfter, const wchar_t* text) const
{
    return static_cast<int>(Send(*this, CB_FINDSTRING, static_cast<WPARAM>(startAfter), Text(text)));
}

int CComboBox::GetLBTextLen(int index) const
{
    return static_cast<int>(Send(*this, CB_GETLBTEXTLEN, static_cast<WPARAM>(index)));
}

int CComboBox::GetLBText(int index, CString& text) const
{
    const int length = GetLBTextLen(index);
    if (length == CB_ERR) {
        text.Empty();
        return CB_ERR;
    }
    wchar_t* buffer = text.GetBuffer(length);
    const int copied = static_cast<int>(
        Send(*this, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer)));
    text.ReleaseBuffer(copied == CB_ERR ? 0 : copied);
    return copied;
}

int CComboBox::SetItemData(int index, DWORD_PTR data)
{
    return static_cast<int>(Send(*this, CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
}

DWORD_PTR CComboBox::GetItemData(int index) const
{
    return static_cast<DWORD_PTR>(Send(*this, CB_GETITEMDATA, static_cast<WPARAM>(index)));
}

int CComboBox::SetItemDataPtr(int index, void* data)
{
    return SetItemData(index, reinterpret_cast<DWORD_PTR>(data));
}

void* CComboBox::GetItemDataPtr(int index) const
{
    if (index < 0 || index >= GetCount())
        return nullptr;
    return reinterpret_cast<void*>(GetItemData(index));
}
