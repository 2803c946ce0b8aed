#include "ProcessWindows.h"

namespace {

struct WindowSearch
{
    DWORD pid;
    const wchar_t* className;
    const std::wstring* caption;
    int withControl;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->pid || !IsWindowVisible(window))
        return TRUE;
    wchar_t className[64] = L"";
    GetClassNameW(window, className, ARRAYSIZE(className));
    if (lstrcmpW(className, search->className) != 0)
        return TRUE;
    if (!search->caption->empty() && WindowText(window) != *search->caption)
        return TRUE;
    if (search->withControl != 0 && GetDlgItem(window, search->withControl) == nullptr)
        return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

HWND FindProcessWindow(DWORD pid, const wchar_t* className, const std::wstring& caption, int withControl)
{
    WindowSearch search{pid, className, &caption, withControl, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, ARRAYSIZE(text));
    return text;
}
