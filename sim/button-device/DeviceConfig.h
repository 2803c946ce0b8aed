#pragma once
// What the stand-in device offers: its buttons and functions, and the faults
// it has been told to show. Read from the registry when a device object is
// created (see sim/README.md for the values).
#include <windows.h>
#include <string>
#include <vector>
#include "CallLog.h"
#include "Registry.h"

namespace sim {

// Function type numbers the device reports.
constexpr LONG TypeKeyCombination = 0;
constexpr LONG TypeLaunch = 1;
constexpr LONG TypeBuiltIn = 2;

struct DeviceFunction
{
    ULONG id = 0;
    LONG type = TypeBuiltIn;
    std::wstring name;  // empty: the device has no name for it
    std::wstring actionTarget;
    std::wstring path;
    std::wstring arguments;
    std::wstring folder;
};

// The key under HKEY_CURRENT_USER that holds configuration and state:
// %SIM_BUTTON_DEVICE_KEY% when set (tests use their own), else the default.
std::wstring DeviceRootKey();

// One line of the "Functions" value: id|type|name|actionTarget|path|arguments|folder,
// everything after the id optional. False for a line without a numeric id.
bool ParseFunctionLine(const std::wstring& line, DeviceFunction& function);

class DeviceConfig
{
public:
    static constexpr int MaxButtons = 3;

    static DeviceConfig Read();
    // The default functions for `buttonCount` buttons, nothing failing.
    DeviceConfig(std::wstring rootKey, int buttonCount);

    const std::wstring& RootKey() const { return rootKey_; }
    int ButtonCount() const { return buttonCount_; }
    bool HasButton(LONG button) const { return button >= 1 && button <= buttonCount_; }
    const std::vector<DeviceFunction>& Functions() const { return functions_; }
    ULONG ListEndId() const { return listEndId_; }
    // Every method asks this first, so it also logs the call (SIM_CALL_LOG).
    bool Fails(const wchar_t* method) const
    {
        LogCall(L"device", method);
        return failures_.Fails(method);
    }

    // A listed function, or null.
    const DeviceFunction* Find(ULONG id) const;
    // The button whose own launch (b + 100) or key-combination (b + 200)
    // function `id` is; 0 when it is nobody's.
    LONG OwnerOf(ULONG id) const;

private:
    std::wstring rootKey_;
    int buttonCount_ = 2;
    std::vector<DeviceFunction> functions_;
    ULONG listEndId_ = 0;
    FailureList failures_;
};

}  // namespace sim
