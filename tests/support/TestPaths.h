#pragma once
// Where the build put things, seen from a running test or benchmark program (bin/).
#include <string>

// A file in the folder of the running program; BinFile(L"") is the folder itself,
// with its trailing backslash.
std::wstring BinFile(const wchar_t* name);
