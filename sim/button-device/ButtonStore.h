#pragma once
// The per-user state of each button, kept across runs under <root>\Button<b>
// in HKEY_CURRENT_USER: what a real device keeps in the mouse.
#include <windows.h>
#include <string>

namespace sim {

struct ButtonState
{
    ULONG assignedFunction = 0;
    std::wstring applicationPath;  // of the button's own launch function
    std::wstring applicationArguments;
    std::wstring applicationFolder;
    ULONG keyCombination = 0;  // of the button's own key-combination function
};

class ButtonStore
{
public:
    explicit ButtonStore(std::wstring rootKey) : rootKey_(std::move(rootKey)) {}

    // The function a button has before anything was assigned.
    static ULONG DefaultAssignment(LONG button);

    ButtonState Read(LONG button) const;
    bool WriteAssignment(LONG button, ULONG functionId) const;
    bool WriteApplication(LONG button, const std::wstring& path, const std::wstring& arguments,
                          const std::wstring& folder) const;
    bool WriteKeyCombination(LONG button, ULONG keyCombination) const;

private:
    std::wstring ButtonKey(LONG button) const;

    std::wstring rootKey_;
};

}  // namespace sim
