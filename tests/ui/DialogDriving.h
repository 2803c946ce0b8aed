#pragma once
// What a user does to a running dialog, as window messages, and what a user sees.
#include <windows.h>
#include <string>
#include <vector>
#include "Dialog.h"
#include "Handles.h"
#include "support/TestPaths.h"

inline HWND Item(const CDialog& dialog, int id)
{
    return ::GetDlgItem(dialog.m_hWnd, id);
}

// BM_CLICK reaches a disabled button too: check the enabled state separately.
inline void Click(const CDialog& dialog, int id)
{
    ::SendMessageW(Item(dialog, id), BM_CLICK, 0, 0);
}

// Picks an item as the mouse would: the selection, then the notification.
inline void Choose(const CDialog& dialog, int listId, int index)
{
    HWND list = Item(dialog, listId);
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

inline int Selection(const CDialog& dialog, int listId)
{
    return static_cast<int>(::SendDlgItemMessageW(dialog.m_hWnd, listId, CB_GETCURSEL, 0, 0));
}

// The item whose text is exactly `text`, ignoring case; CB_ERR when there is none.
inline int IndexOf(const CDialog& dialog, int listId, const std::wstring& text)
{
    return static_cast<int>(::SendDlgItemMessageW(dialog.m_hWnd, listId, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                  reinterpret_cast<LPARAM>(text.c_str())));
}

inline int ItemCount(const CDialog& dialog, int listId)
{
    return static_cast<int>(::SendDlgItemMessageW(dialog.m_hWnd, listId, CB_GETCOUNT, 0, 0));
}

inline std::wstring ItemText(const CDialog& dialog, int listId, int index)
{
    const LRESULT length = ::SendDlgItemMessageW(dialog.m_hWnd, listId, CB_GETLBTEXTLEN, static_cast<WPARAM>(index),
                                                 0);
    if (length == CB_ERR)
        return L"<no item>";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    ::SendDlgItemMessageW(dialog.m_hWnd, listId, CB_GETLBTEXT, static_cast<WPARAM>(index),
                          reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return text;
}

inline std::vector<std::wstring> Items(const CDialog& dialog, int listId)
{
    std::vector<std::wstring> items;
    for (int i = 0; i < ItemCount(dialog, listId); ++i)
        items.push_back(ItemText(dialog, listId, i));
    return items;
}

inline std::wstring SelectedText(const CDialog& dialog, int listId)
{
    const int selected = Selection(dialog, listId);
    return selected < 0 ? L"<none>" : ItemText(dialog, listId, selected);
}

inline bool Enabled(const CDialog& dialog, int id)
{
    return ::IsWindowEnabled(Item(dialog, id)) != FALSE;
}

inline std::wstring TextOf(HWND window)
{
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

inline std::wstring FieldText(const CDialog& dialog, int id)
{
    return TextOf(Item(dialog, id));
}

inline void Type(const CDialog& dialog, int id, const std::wstring& text)
{
    ::SetWindowTextW(Item(dialog, id), text.c_str());
}

inline std::wstring ResourceText(UINT id)
{
    CString text;
    text.LoadString(id);
    return std::wstring(text.GetString());
}

// A language file of the program (e.g. L"de-DE\\TarvixUtility.exe.mui" in bin), for ScopedLanguageResources.
inline unique_hmodule OpenLanguageFile(const wchar_t* file)
{
    return unique_hmodule(
        ::LoadLibraryExW(BinFile(file).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}
