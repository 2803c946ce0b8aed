#pragma once
// What the assignments need of the settings service: the four integer values
// of TarvixSettingsSection. Handed to them, so a test puts its own in place of
// the process-wide connection.
#include <windows.h>

// Indices of the dialog's values in TarvixSettingsSection.
namespace SettingsIndex {
constexpr LONG PresetActive = 1;     // 1 while a preset governs both buttons
constexpr LONG CustomFunction0 = 2;  // own choice of the first button
constexpr LONG CustomFunction1 = 3;  // own choice of the second button
constexpr LONG Option = 4;           // the dialog's check box
constexpr LONG Count = 4;
}  // namespace SettingsIndex

// What a read of an integer found.
enum class SettingRead
{
    Value,      // the service answered an integer
    NotStored,  // the service has never stored this index (HRESULT_FROM_WIN32(ERROR_NOT_FOUND))
    Failed,     // no service, a failed call, or an answer that is no integer
};

class ISettingsAccess
{
public:
    // Whether the service can be reached; asked before each group of calls,
    // so one that was missing is looked for again. The calls below are made
    // only after it answered true; their failures are not the user's to handle.
    virtual bool Connect() = 0;
    virtual void Reload() = 0;
    // `value` changes only when the result is SettingRead::Value.
    virtual SettingRead ReadInt(LONG index, INT32& value) = 0;
    virtual void WriteInt(LONG index, INT32 value) = 0;
    virtual void Commit() = 0;

protected:
    ~ISettingsAccess() = default;
};
