#pragma once
// The outside calls both job floors make, as the product makes them: the
// device's buttons read as a Load reads them, an assignment written as an
// Apply writes it, and the settings service reached as the program reaches it.
// Plain code: no framework, no language module.
#include <windows.h>
#include <string>
#include <vector>
#include "Handles.h"
#include "MouseButtonDevice.h"
#include "SettingsService.h"

extern const wchar_t floorSettingsSection[];

struct FloorEntry
{
    ULONG id = 0;
    std::wstring name;  // empty for a button's own entries, which the program names
};

struct FloorButton
{
    LONG id = 0;
    std::vector<FloorEntry> entries;
    ULONG assigned = 0;
    ULONG assignedKeys = 0;
    unique_bstr assignedPath;
};

// Prepare, the buttons listed and each of the first two read (in a silent run
// each then given its default at once); false where the product's set-up fails.
bool ReadButtons(ISpecialButtonDevice* device, std::vector<FloorButton>& buttons, bool silent);
// What an Apply sends for a button with `function` assigned.
void ApplyButton(ISpecialButtonDevice* device, const FloorButton& button, ULONG function);

// The service and its companion, reached from a multithreaded apartment as the
// program does (a thread already in its own answers RPC_E_CHANGED_MODE).
class FloorSettings
{
public:
    bool Connect();
    ~FloorSettings();
    ISettingsService* operator->() const { return service_.get(); }
    BSTR Section() const { return section_.get(); }

private:
    HRESULT multithreaded_ = E_FAIL;
    com_ptr<ISettingsService> service_;
    com_ptr<ISettingsCompanion> companion_;
    unique_bstr section_{SysAllocString(floorSettingsSection)};
};

// A VT_INT VARIANT.
VARIANT IntValue(INT32 value);
