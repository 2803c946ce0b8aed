#pragma once
// Windows of programs that a test started, found from outside as a user sees them.
#include <windows.h>
#include <string>

// A visible top-level window of process `pid` with class `className` ("#32770"
// for dialogs and message boxes), with exactly `caption` unless that is empty,
// and holding control `withControl` unless that is 0; null when there is none.
HWND FindProcessWindow(DWORD pid, const wchar_t* className, const std::wstring& caption = std::wstring(),
                       int withControl = 0);

// A window's caption or text (up to 1023 characters).
std::wstring WindowText(HWND window);
