#pragma once
// The icon of a program named by a command text such as
// "\"C:\\Tools\\run.exe\" -x" or "C:\\Tools\\run.exe".
#include <windows.h>
#include "CString.h"

// Splits a command text at its quotes. Without a usable pair of quotes the
// whole text is the program and there are no arguments.
void SplitCommandText(const CString& text, CString& program, CString& arguments);

// The first icon of the program file, or else the shell's icon for the whole
// text; null when there is none. The caller destroys it.
HICON LoadProgramIcon(const CString& commandText, bool large);
