#include "JobFloorCalls.h"

const wchar_t floorSettingsSection[] = L"800B3B63-DDA2-4ad2-B2B7-E8F77D85B357";

namespace {

const ULONG defaults[2] = {58, 59};  // the default pair a silent run applies

void ReadApplication(ISpecialButtonDevice* device, ULONG id, unique_bstr& path)
{
    unique_bstr arguments, folder;
    (void)device->GetApplication(id, path.put(), arguments.put(), folder.put());
}

bool ReadButton(ISpecialButtonDevice* device, FloorButton& button)
{
    if (device->BeginRead() != S_OK)
        return false;
    const ULONG ownLaunch = static_cast<ULONG>(button.id) + 100;
    const ULONG ownKeys = static_cast<ULONG>(button.id) + 200;
    for (;;) {
        ULONG id = 0;
        if (device->NextFunction(&id) != S_OK)
            break;
        unique_bstr name, target, path;
        LONG type = 0;
        (void)device->GetFunctionName(id, name.put());
        (void)device->GetFunctionType(id, &type);
        ReadApplication(device, id, path);
        (void)device->GetActionTarget(id, target.put());
        if (id == ownKeys && type == 0) {
            ULONG keys = 0;
            (void)device->GetKeyCombination(id, &keys);
        }
        // An entry's program is looked for on disk.
        if (path && SysStringLen(path.get()) != 0) {
            const DWORD attributes = GetFileAttributesW(path.get());
            if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & 0xFF) == FILE_ATTRIBUTE_DIRECTORY)
                continue;
        }
        const bool own = (id == ownLaunch && type == 1) || (id == ownKeys && type == 0);
        if (own || (name && SysStringLen(name.get()) != 0))
            button.entries.push_back({id, own ? std::wstring() : std::wstring(name.get())});
    }
    if (button.entries.empty() || device->GetAssignedFunction(button.id, &button.assigned) != S_OK)
        return false;
    unique_bstr name;
    (void)device->GetFunctionName(button.assigned, name.put());
    (void)device->GetKeyCombination(button.assigned, &button.assignedKeys);
    ReadApplication(device, button.assigned, button.assignedPath);
    ULONG launch = 0;
    if (device->GetApplicationFunction(button.id, &launch) != S_OK)
        return false;
    unique_bstr saved;
    ReadApplication(device, launch, saved);
    return true;
}

}  // namespace

bool ReadButtons(ISpecialButtonDevice* device, std::vector<FloorButton>& buttons, bool silent)
{
    if (device->Prepare(2) != S_OK)
        return false;
    LONG id = 0;
    std::vector<LONG> ids;
    while (device->NextButton(&id) == S_OK) {
        ULONG info = 0;
        (void)device->GetButtonInfo(id, &info);
        ids.push_back(id);
        id = 0;
    }
    if (ids.empty())
        return false;
    bool ok = true;
    for (size_t i = 0; i < ids.size() && i < 2; ++i) {
        buttons.emplace_back();
        buttons.back().id = ids[i];
        ok = ReadButton(device, buttons.back()) && ok;
        if (silent && (ids[i] == 1 || ids[i] == 2))
            ApplyButton(device, buttons.back(), defaults[ids[i] - 1]);
    }
    return ok;
}

void ApplyButton(ISpecialButtonDevice* device, const FloorButton& button, ULONG function)
{
    (void)device->SetAssignedFunction(button.id, function);
    if (function >= 100 && function <= 200 && button.assignedPath && SysStringLen(button.assignedPath.get()) != 0) {
        unique_bstr path(SysAllocString(button.assignedPath.get()));
        (void)device->SetApplication(path.get(), nullptr, nullptr);
    }
    if (function >= 200 && function <= 300)
        (void)device->SetKeyCombination(button.assignedKeys);
}

bool FloorSettings::Connect()
{
    multithreaded_ = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    return SUCCEEDED(CoCreateInstance(CLSID_SettingsService, nullptr, CLSCTX_LOCAL_SERVER, IID_ISettingsService,
                                      service_.put_void())) &&
           SUCCEEDED(CoCreateInstance(CLSID_SettingsCompanion, nullptr, CLSCTX_LOCAL_SERVER, IID_ISettingsCompanion,
                                      companion_.put_void()));
}

FloorSettings::~FloorSettings()
{
    companion_.reset();
    service_.reset();
    if (SUCCEEDED(multithreaded_))
        CoUninitialize();
}

VARIANT IntValue(INT32 value)
{
    VARIANT variant;
    VariantInit(&variant);
    V_VT(&variant) = VT_INT;
    V_INT(&variant) = value;
    return variant;
}
