#pragma once
// Tests on path texts as typed or stored, made without asking the file system.
#include <windows.h>
#include "CString.h"

// A drive letter followed by a separator ("C:\", "C:/"), or two separators
// ("\\server\share", "\\?\C:\"): a text that names the same file whatever folder
// the process runs in. Not "C:name", "\name" or "name".
bool IsFullPath(const wchar_t* path) noexcept;

// A text the system's file dialogs take as a file name: not empty, shorter than
// MAX_PATH, no control characters, none of < > " | ? *, a colon only after a
// leading drive letter, and no separator at the end.
bool IsUsableFileName(const CString& path);
