#include "DeviceConfig.h"
#include <cerrno>
#include <cwchar>
#include <iterator>

namespace sim {

namespace {

const wchar_t defaultRootKey[] = L"Software\\StandIns\\SimButtonDevice";

// Built-in functions of a pleasant default device: every function of the
// program's presets, and one with a program of its own to open.
const DeviceFunction builtInFunctions[] = {
    {58, TypeBuiltIn, L"Copy", L"", L"", L"", L""},
    {59, TypeBuiltIn, L"Paste", L"", L"", L"", L""},
    {51, TypeBuiltIn, L"Back", L"", L"", L"", L""},
    {50, TypeBuiltIn, L"Forward", L"", L"", L"", L""},
    {56, TypeBuiltIn, L"Zoom out", L"", L"", L"", L""},
    {57, TypeBuiltIn, L"Zoom in", L"", L"", L"", L""},
    {61, TypeBuiltIn, L"Play/Pause", L"", L"", L"", L""},
    {60, TypeBuiltIn, L"Previous track", L"", L"", L"", L""},
    {62, TypeBuiltIn, L"Next track", L"", L"", L"", L""},
    {63, TypeBuiltIn, L"Volume down", L"", L"", L"", L""},
    {64, TypeBuiltIn, L"Volume up", L"", L"", L"", L""},
    {66, TypeBuiltIn, L"Show the desktop", L"", L"", L"", L""},
    {68, TypeBuiltIn, L"Mouse settings", L"C:\\windows\\system32\\control.exe", L"", L"", L"C:\\windows\\system32"},
};

bool ParseNumber(const std::wstring& text, unsigned long& value)
{
    const std::wstring trimmed = Trim(text);
    if (trimmed.empty())
        return false;
    wchar_t* end = nullptr;
    errno = 0;
    value = std::wcstoul(trimmed.c_str(), &end, 0);
    return errno == 0 && end != nullptr && *end == L'\0';
}

}  // namespace

std::wstring DeviceRootKey()
{
    wchar_t buffer[512] = {};
    const DWORD length = GetEnvironmentVariableW(L"SIM_BUTTON_DEVICE_KEY", buffer, 512);
    if (length > 0 && length < 512)
        return buffer;
    return defaultRootKey;
}

bool ParseFunctionLine(const std::wstring& line, DeviceFunction& function)
{
    const std::vector<std::wstring> fields = Split(line, L"|", true);
    unsigned long id = 0;
    if (fields.empty() || !ParseNumber(fields[0], id))
        return false;
    function = DeviceFunction();
    function.id = id;
    unsigned long type = TypeBuiltIn;
    if (fields.size() > 1 && !Trim(fields[1]).empty()) {
        if (!ParseNumber(fields[1], type))
            return false;
    }
    function.type = static_cast<LONG>(type);
    std::wstring* texts[] = {&function.name, &function.actionTarget, &function.path, &function.arguments,
                             &function.folder};
    for (size_t i = 0; i < 5 && i + 2 < fields.size(); ++i)
        *texts[i] = fields[i + 2];
    return true;
}

DeviceConfig::DeviceConfig(std::wstring rootKey, int buttonCount)
    : rootKey_(std::move(rootKey)), buttonCount_(buttonCount)
{
    functions_.assign(std::begin(builtInFunctions), std::end(builtInFunctions));
    // Each button's own launch entries come before 201, so the program needs no
    // placeholder; the device has no names for them, the program names its own.
    for (int b = 1; b <= buttonCount_; ++b)
        functions_.push_back({static_cast<ULONG>(100 + b), TypeLaunch, L"", L"", L"", L"", L""});
    for (int b = 1; b <= buttonCount_; ++b)
        functions_.push_back({static_cast<ULONG>(200 + b), TypeKeyCombination, L"", L"", L"", L"", L""});
}

DeviceConfig DeviceConfig::Read()
{
    const std::wstring root = DeviceRootKey();
    const DWORD count = ReadDword(root, L"ButtonCount", 2);
    DeviceConfig config(root, count > MaxButtons ? MaxButtons : static_cast<int>(count));

    bool present = false;
    const std::vector<std::wstring> lines = ReadMultiString(root, L"Functions", present);
    if (present) {
        config.functions_.clear();
        for (const std::wstring& line : lines) {
            DeviceFunction function;
            if (!line.empty() && line[0] != L'#' && ParseFunctionLine(line, function))
                config.functions_.push_back(function);
        }
    }
    config.listEndId_ = ReadDword(root, L"ListEndId", 0);
    config.failures_ = FailureList(ReadString(root, L"FailMethod"));
    return config;
}

const DeviceFunction* DeviceConfig::Find(ULONG id) const
{
    for (const DeviceFunction& function : functions_)
        if (function.id == id)
            return &function;
    return nullptr;
}

LONG DeviceConfig::OwnerOf(ULONG id) const
{
    for (LONG b = 1; b <= buttonCount_; ++b)
        if (id == static_cast<ULONG>(b + 100) || id == static_cast<ULONG>(b + 200))
            return b;
    return 0;
}

}  // namespace sim
