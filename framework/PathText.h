#pragma once
// Tests on path texts as typed or stored, made without asking the file system.
#include <windows.h>
#include "CString.h"

// A drive letter with a separator ("C:\x", "C:/x") or a UNC path ("\\server\share"):
// a text that names the same file whatever folder the process runs in.
bool IsAbsolutePath(const CString& path);

// A text the system's file dialogs take as a file name: not empty, shorter than
// MAX_PATH, no control characters, none of < > " | ? *, a colon only after a
// leading drive letter, and no separator at the end.
bool IsUsableFileName(const CString& path);
