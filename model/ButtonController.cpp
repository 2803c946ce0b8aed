#include "ButtonController.h"
#include <vector>
#include "FunctionIds.h"
#include "Handles.h"
#include "KeyNames.h"
#include "Presets.h"
#include "tarvix/resource.h"

namespace {

struct ApplicationTexts
{
    CString path;
    CString arguments;
    CString folder;
};

// GetApplication of a function; false, with `texts` unchanged, when it fails.
bool ReadApplication(ISpecialButtonDevice* device, UINT32 functionId, ApplicationTexts& texts)
{
    unique_bstr path, arguments, folder;
    if (device->GetApplication(functionId, path.put(), arguments.put(), folder.put()) != S_OK)
        return false;
    texts.path = StringFromBstr(path.get());
    texts.arguments = StringFromBstr(arguments.get());
    texts.folder = StringFromBstr(folder.get());
    return true;
}

bool ReadName(ISpecialButtonDevice* device, UINT32 functionId, CString& name)
{
    unique_bstr text;
    if (device->GetFunctionName(functionId, text.put()) != S_OK)
        return false;
    name = StringFromBstr(text.get());
    return true;
}

// A program path that names nothing, or a plain folder (attribute byte exactly
// "directory"), cannot be launched.
bool IsUnusableProgram(const CString& path)
{
    const DWORD attributes = GetFileAttributesW(path);
    return attributes == INVALID_FILE_ATTRIBUTES || (attributes & 0xFF) == FILE_ATTRIBUTE_DIRECTORY;
}

// A copy for the device; an empty string crosses as a null BSTR.
unique_bstr DeviceString(const CString& text)
{
    if (text.IsEmpty())
        return unique_bstr();
    return unique_bstr(text.AllocSysString());
}

}  // namespace

CString FunctionTextFromName(const CString& name)
{
    const CString format = LoadText(IDS_FUNCTION_TEXT_FORMAT);
    CString text;
    bool placed = false;
    for (int i = 0; i < format.GetLength(); ++i) {
        const wchar_t ch = format[i];
        if (ch == L'%' && i + 1 < format.GetLength()) {
            const wchar_t next = format[i + 1];
            if (next == L'%') {
                text += L'%';
                ++i;
                continue;
            }
            if (next == L's' && !placed) {
                text += name;
                placed = true;
                ++i;
                continue;
            }
        }
        text += ch;
    }
    return format.IsEmpty() ? name : text;  // without its text the name alone is shown
}

CSpecialButton::CSpecialButton(ISpecialButtonDevice* buttonDevice, INT32 buttonId) : device(buttonDevice)
{
    data.buttonId = buttonId;
}

bool CSpecialButton::ReadEntry(UINT32 functionId, _SPECIAL_BUTTON_INFO& entry)
{
    const INT32 button = data.buttonId;
    entry.functionId = functionId;
    // Results are not checked: a failed call leaves its field empty.
    (void)ReadName(device, functionId, entry.name);
    LONG type = 0;
    (void)device->GetFunctionType(functionId, &type);
    entry.functionType = type;
    ApplicationTexts application;
    (void)ReadApplication(device, functionId, application);
    entry.applicationPath = application.path;
    entry.applicationArguments = application.arguments;
    entry.applicationFolder = application.folder;
    unique_bstr target;
    (void)device->GetActionTarget(functionId, target.put());
    entry.actionTarget = StringFromBstr(target.get());
    entry.displayText = entry.name;
    entry.isCustomEntry = 0;

    if (functionId == FunctionIds::OwnLaunch(button) && type == FunctionIds::TypeLaunch) {
        entry.isCustomEntry = 1;
        entry.name = LoadText(IDS_LAUNCH_ENTRY_NAME);
        if (!entry.applicationPath.IsEmpty())
            entry.displayText = entry.applicationPath;
    }
    if (functionId == FunctionIds::OwnKeyCombination(button) && type == FunctionIds::TypeKeyCombination) {
        entry.isCustomEntry = 1;
        ULONG keyCombination = 0;
        if (device->GetKeyCombination(functionId, &keyCombination) != S_OK) {
            keyCombination = 0;
            keyCombinationUnread_ = true;
        }
        entry.keyCombination = keyCombination;
        entry.displayText = KeyCombinationText(keyCombination);
        entry.name = LoadText(IDS_KEY_ENTRY_NAME);
    }

    if (!entry.applicationPath.IsEmpty() && IsUnusableProgram(entry.applicationPath))
        return false;
    if (entry.name.IsEmpty())
        return false;
    if (entry.displayText.IsEmpty())
        entry.displayText = FunctionTextFromName(entry.name);
    return true;
}

BOOL CSpecialButton::Load(INT32)
{
    FillKeyNameList();
    if (device->BeginRead() != S_OK)
        return FALSE;

    const INT32 button = data.buttonId;
    functions.RemoveAll();
    keyCombinationUnread_ = false;
    std::vector<UINT32> seen;
    for (;;) {
        ULONG id = 0;
        const HRESULT listed = device->NextFunction(&id);
        seen.push_back(id);
        // Before 201 the button's launch entry is offered, listed or not.
        if (id == FunctionIds::ListingMarker) {
            bool launchSeen = false;
            for (UINT32 earlier : seen)
                launchSeen = launchSeen || earlier == FunctionIds::OwnLaunch(button);
            if (!launchSeen) {
                _SPECIAL_BUTTON_INFO placeholder;
                placeholder.functionId = FunctionIds::OwnLaunch(button);
                placeholder.isCustomEntry = 1;
                placeholder.name = LoadText(IDS_LAUNCH_ENTRY_NAME);
                functions.Add(placeholder);
            }
        }
        if (listed != S_OK)
            break;
        _SPECIAL_BUTTON_INFO entry;
        if (ReadEntry(id, entry))
            functions.Add(entry);
    }
    if (functions.IsEmpty())
        return FALSE;

    ULONG assigned = 0;
    if (device->GetAssignedFunction(button, &assigned) != S_OK)
        return FALSE;
    data.assignedFunctionId = assigned;
    CString name;
    if (ReadName(device, assigned, name))
        data.functionName = name;
    ULONG keyCombination = 0;
    (void)device->GetKeyCombination(assigned, &keyCombination);
    data.keyCombination = keyCombination;
    ApplicationTexts application;
    if (ReadApplication(device, assigned, application)) {
        data.applicationPath = application.path;
        data.applicationArguments = application.arguments;
        data.applicationFolder = application.folder;
    }

    ULONG launchFunction = 0;
    if (device->GetApplicationFunction(button, &launchFunction) != S_OK)
        return FALSE;
    data.applicationFunctionId = launchFunction;
    if (ReadApplication(device, launchFunction, application)) {
        data.savedApplicationPath = application.path;
        data.savedApplicationArguments = application.arguments;
        data.savedApplicationFolder = application.folder;
    }
    return TRUE;
}

UINT32 CSpecialButton::GetAssignedFunctionId()
{
    return data.assignedFunctionId;
}

BOOL CSpecialButton::Apply()
{
    const UINT32 function = data.assignedFunctionId;
    // The program and keys describe the function just assigned: after a refusal
    // the device would file them under the one it still holds.
    if (FAILED(device->SetAssignedFunction(data.buttonId, function)))
        return FALSE;
    if (FunctionIds::IsLaunch(function) && !data.applicationPath.IsEmpty()) {
        unique_bstr path = DeviceString(data.applicationPath);
        unique_bstr arguments = DeviceString(data.applicationArguments);
        unique_bstr folder = DeviceString(data.applicationFolder);
        (void)device->SetApplication(path.get(), arguments.get(), folder.get());
    }
    // Writing back the "none" that stood in for an unreadable combination would wipe the stored one.
    if (FunctionIds::IsKeyCombination(function) && !(keyCombinationUnread_ && data.keyCombination == 0))
        (void)device->SetKeyCombination(data.keyCombination);
    return TRUE;
}

BOOL CSpecialButton::SetDefault()
{
    const PresetEntry& defaults = presetTable[defaultPreset];
    if (data.buttonId == 1)
        data.assignedFunctionId = defaults.function0;
    else if (data.buttonId == 2)
        data.assignedFunctionId = defaults.function1;
    return TRUE;
}

INT_PTR CSpecialButton::GetFunctionCount()
{
    return functions.GetSize();
}

CSpecialButtonData* CSpecialButton::GetData()
{
    return &data;
}

BOOL CSpecialButton::TakeStrings(BSTR first, BSTR second, BSTR third)
{
    SysFreeString(first);
    SysFreeString(second);
    SysFreeString(third);
    return TRUE;
}

BOOL CSpecialButton::TakeValues(INT32, INT32, INT32)
{
    return TRUE;
}
