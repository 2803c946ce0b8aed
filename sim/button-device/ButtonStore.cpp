#include "ButtonStore.h"
#include "Registry.h"

namespace sim {

ULONG ButtonStore::DefaultAssignment(LONG button)
{
    switch (button) {
    case 1:
        return 51;  // Back
    case 2:
        return 50;  // Forward
    default:
        return 66;  // Show the desktop
    }
}

std::wstring ButtonStore::ButtonKey(LONG button) const
{
    return rootKey_ + L"\\Button" + std::to_wstring(button);
}

ButtonState ButtonStore::Read(LONG button) const
{
    const std::wstring key = ButtonKey(button);
    ButtonState state;
    state.assignedFunction = ReadDword(key, L"AssignedFunction", DefaultAssignment(button));
    state.applicationPath = ReadString(key, L"ApplicationPath");
    state.applicationArguments = ReadString(key, L"ApplicationArguments");
    state.applicationFolder = ReadString(key, L"ApplicationFolder");
    state.keyCombination = ReadDword(key, L"KeyCombination", 0);
    return state;
}

bool ButtonStore::WriteAssignment(LONG button, ULONG functionId) const
{
    return WriteDword(ButtonKey(button), L"AssignedFunction", functionId);
}

bool ButtonStore::WriteApplication(LONG button, const std::wstring& path, const std::wstring& arguments,
                                   const std::wstring& folder) const
{
    const std::wstring key = ButtonKey(button);
    return WriteString(key, L"ApplicationPath", path) && WriteString(key, L"ApplicationArguments", arguments) &&
           WriteString(key, L"ApplicationFolder", folder);
}

bool ButtonStore::WriteKeyCombination(LONG button, ULONG keyCombination) const
{
    return WriteDword(ButtonKey(button), L"KeyCombination", keyCombination);
}

}  // namespace sim
