#pragma once
// Where the build put things, seen from a running test program (bin/).
#include <string>

// The folder of the running test program, with a trailing backslash.
std::wstring BinFolder();
// A file in the bin folder.
std::wstring BinFile(const wchar_t* name);
