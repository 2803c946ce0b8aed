#pragma once
// The program's only two message boxes. In a silent run they show nothing
// and answer 1.
#include <windows.h>
#include "CString.h"

// An error with the program's title as caption.
int ShowErrorBox(const CString& text, bool silent);
// The warning that a program or working folder does not exist.
int ShowInvalidApplicationBox(bool silent);
