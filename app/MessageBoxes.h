#pragma once
// The program's only two message boxes. Both stay silent, answering 1, while
// the program runs in silent mode.
#include <windows.h>
#include "CString.h"

// Set by the silent start-up switch.
extern INT32 silentMode;

// An error with the program's title as caption.
int ShowErrorBox(const CString& text);
// The warning that a program or working folder does not exist.
int ShowInvalidApplicationBox();
