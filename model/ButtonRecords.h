#pragma once
// What the program knows about one special button: its current assignment and
// the functions the device offers for it.
#include <windows.h>
#include "CArray.h"
#include "CString.h"

// The assignment of one button. Copying copies every field, buttonId included.
class CSpecialButtonData
{
public:
    CSpecialButtonData() = default;
    CSpecialButtonData(const CSpecialButtonData&) = default;
    CSpecialButtonData& operator=(const CSpecialButtonData&) = default;
    virtual ~CSpecialButtonData() = default;

    INT32 buttonId = 0;
    UINT32 assignedFunctionId = 0;
    UINT32 applicationFunctionId = 0;
    UINT32 keyCombination = 0;
    CString functionName;
    CString applicationPath;
    CString applicationArguments;
    CString applicationFolder;
    CString savedApplicationPath;
    CString savedApplicationArguments;
    CString savedApplicationFolder;
};

// One function the device offers for a button; entry i is item i of the dialog's list.
struct _SPECIAL_BUTTON_INFO  // NOLINT(bugprone-reserved-identifier): the record's established name
{
    UINT32 functionId = 0;
    INT32 functionType = 0;
    INT32 isCustomEntry = 0;
    CString name;
    CString applicationPath;
    CString applicationArguments;
    CString applicationFolder;
    CString displayText;
    CString actionTarget;
    UINT32 keyCombination = 0;
};

using SpecialButtonFunctions = CArray<_SPECIAL_BUTTON_INFO>;

// The program a launch function starts, as the application chooser edits it.
struct ApplicationLaunch
{
    CString path;
    CString arguments;
    CString folder;
};
