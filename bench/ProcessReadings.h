#pragma once
// What the benchmarks and the picture driver read from a program they started
// (support/ChildProcess.h starts it and finds its windows).
#include <windows.h>

// Neither the window nor any visible window inside it has anything left to paint.
bool Painted(HWND window);

// The process's peak working set so far; 0 when it cannot be read.
SIZE_T PeakWorkingSet(HANDLE process);
