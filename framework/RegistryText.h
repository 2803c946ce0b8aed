#pragma once
// Path values read from the registry are trusted only when they are plainly
// strings: REG_SZ or REG_EXPAND_SZ (not expanded), at most MAX_PATH UTF-16
// units including the terminating NUL, an even number of bytes, and ending
// with a NUL unit; and only when they are full paths, which nothing resolves
// against the current folder or the DLL search path.
#include <windows.h>
#include "CString.h"

// False, with `text` untouched, when the value is missing or breaks a rule.
bool ReadRegistryPath(HKEY key, const wchar_t* valueName, CString& text);
// IsFullPath (PathText.h) says which paths are full.
