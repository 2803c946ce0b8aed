#include "VexaUtilsWatch.h"
#include <cstring>

const char* const utilityExports[14] = {
    "VuInitialize",       "VuGetLastErrorCode",
    "VuGetMachineIDEx",   "VuIsSupportedFunction",
    "VuCallDriver",       "VuCallPowerSaving",
    "VuRegWnd",           "VuUnRegWnd",
    "VuCallVideo",        "VuGetTRCXFunctionChn",
    "VuEnableTRCXEvents", "AddRef",
    "RemoveRef",          "VuDetach",
};

const wchar_t sharedDllsKey[] = L"Software\\Kelvor Corporation\\Shared Info\\Shared Dlls";

VexaUtilsWatch::VexaUtilsWatch() : libraryValue_(sharedDllsKey, L"VexaUtils.dll")
{
    const std::wstring configKey = std::wstring(VEXAUTILS_DEFAULT_KEY) + L"\\Test " +
                                   std::to_wstring(GetCurrentProcessId());
    config_ = std::make_unique<ScopedRegistryKey>(configKey);
    environment_ = std::make_unique<ScopedEnvironment>(VEXAUTILS_CONFIG_ENV, configKey);
    const std::wstring name = VEXAUTILS_COUNTERS_PREFIX + std::to_wstring(GetCurrentProcessId());
    mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(VexaUtilsCounters),
                                  name.c_str());
    if (mapping_ != nullptr)
        counters_ = static_cast<VexaUtilsCounters*>(
            MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, sizeof(VexaUtilsCounters)));
    ResetCounters();
}

VexaUtilsWatch::~VexaUtilsWatch()
{
    if (counters_ != nullptr)
        UnmapViewOfFile(counters_);
    if (mapping_ != nullptr)
        CloseHandle(mapping_);
}

void VexaUtilsWatch::ResetCounters()
{
    if (counters_ != nullptr)
        std::memset(counters_, 0, sizeof(*counters_));
}

void VexaUtilsWatch::SetCapability(DWORD answer)
{
    config_->SetDword(L"Capability", answer);
}
void VexaUtilsWatch::SetSupported(bool supported)
{
    config_->SetDword(L"Supported", supported ? 1 : 0);
}

bool VexaUtilsWatch::Loaded()
{
    return GetModuleHandleW(L"VexaUtils.dll") != nullptr || GetModuleHandleW(L"VexaUtilsNoVideo.dll") != nullptr;
}
