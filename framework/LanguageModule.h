#pragma once
// Texts and dialog templates live in a resource-only DLL per deliverable:
// <folder of the binary>\<locale>\<name>.mui. The user's preferred UI languages
// are tried first, en-US last.
#include <windows.h>
#include "Handles.h"

// Loads the language module of the binary `owner` (a module handle of ours, or
// null for the program) whose language files are named `muiName` (e.g.
// L"TarvixUtility.exe.mui"). Null when no language has one.
unique_hmodule LoadLanguageModule(HMODULE owner, const wchar_t* muiName);

// The module that CString::LoadString and dialog templates come from. Until a
// language module is set this is the calling module itself.
HINSTANCE GetLanguageResourceHandle();
void SetLanguageResourceHandle(HINSTANCE module);

// The module the calling code was linked into.
HMODULE GetCurrentModule();
