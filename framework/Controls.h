#pragma once
// The controls the dialogs bind with DDX_Control: thin views of the control
// messages, answering what the control answers.
#include <windows.h>
#include "CString.h"
#include "Wnd.h"

class CButton : public CWnd
{
public:
    int GetCheck() const;  // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE
    void SetCheck(int state);
};

class CStatic : public CWnd
{
public:
    // Shows `bitmap` (STM_SETIMAGE); the caller keeps owning it. Answers the previous image.
    HBITMAP SetBitmap(HBITMAP bitmap);
    HBITMAP GetBitmap() const;
};

class CEdit : public CWnd
{
public:
    void SetSel(int start, int end, BOOL noScroll = FALSE);
};

class CComboBox : public CWnd
{
public:
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);  // -1 clears the selection; CB_ERR then, as the control answers
    int AddString(const wchar_t* text);
    void ResetContent();

    // Selects the first item that begins with `text`, ignoring case, searching
    // from the item after `startAfter` to the end and then from the start
    // (-1 searches from the first item). The item's index, or CB_ERR.
    int SelectString(int startAfter, const wchar_t* text);
    int FindString(int startAfter, const wchar_t* text) const;

    // The item's text; for an index outside the list, CB_ERR and an empty text.
    int GetLBText(int index, CString& text) const;
    int GetLBTextLen(int index) const;

    int SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index) const;  // CB_ERR for an index outside the list
    int SetItemDataPtr(int index, void* data);
    void* GetItemDataPtr(int index) const;  // null for an index outside the list
};
