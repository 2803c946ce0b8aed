#pragma once
// Path values read from the registry are trusted only when they are plainly
// strings: REG_SZ or REG_EXPAND_SZ (not expanded), at most MAX_PATH UTF-16
// units including the terminating NUL, an even number of bytes, and ending
// with a NUL unit.
#include <windows.h>
#include "CString.h"

// False when the value is missing or breaks a rule. A value of no bytes at all
// is the empty string when emptyAllowed, otherwise it breaks the NUL rule.
bool ReadRegistryPath(HKEY key, const wchar_t* valueName, CString& text, bool emptyAllowed);
