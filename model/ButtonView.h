#pragma once
// What the main dialog shows, as the assignments answer it after each command:
// values only, so nothing the dialog holds can point into the model.
#include <windows.h>
#include <vector>
#include "CString.h"

// One button's set of controls.
struct ButtonView
{
    std::vector<CString> items;  // the function list's names, in the device's order
    int selected = -1;           // the item shown; -1 with no items
    CString label;               // the assignment label's text
    CString program;             // the command text whose program icon goes beside it; empty: no icon
    bool listEnabled = false;
    bool settingsEnabled = false;
};

// The preset list: the names of the presets both buttons offer, the own-settings entry last.
struct PresetListView
{
    std::vector<UINT> names;  // string resources
    int selected = -1;
};

// What a button's settings button opens for the function it shows.
struct SettingsAction
{
    enum class Kind
    {
        None,
        OpenTarget,  // the function's own program, through the shell
        Program,     // the application chooser
        KeyCombination,
    };
    Kind kind = Kind::None;
    CString target;  // OpenTarget: what to open, and the folder to open it in
    CString folder;
};

// The file name without folder and extension: "C:\\a\\run.me.exe" -> "run.me".
CString ProgramLabelText(const CString& path);
