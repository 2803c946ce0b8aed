#include "LanguageModule.h"
#include <string>
#include <vector>

extern "C" IMAGE_DOS_HEADER __ImageBase;  // NOLINT(bugprone-reserved-identifier): the linker names it

namespace {

HINSTANCE resourceHandle = nullptr;

std::wstring ModuleFolder(HMODULE module)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return std::wstring();
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

std::vector<std::wstring> PreferredLanguages()
{
    std::vector<std::wstring> languages;
    ULONG count = 0;
    ULONG size = 0;
    if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &size) && size > 0) {
        std::vector<wchar_t> buffer(size);
        if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, buffer.data(), &size)) {
            for (const wchar_t* name = buffer.data(); *name != L'\0'; name += wcslen(name) + 1)
                languages.emplace_back(name);
        }
    }
    languages.emplace_back(L"en-US");
    return languages;
}

}  // namespace

unique_hmodule LoadLanguageModule(HMODULE owner, const wchar_t* muiName)
{
    const std::wstring folder = ModuleFolder(owner);
    for (const std::wstring& language : PreferredLanguages()) {
        const std::wstring path = folder + language + L"\\" + muiName;
        HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        if (module != nullptr)
            return unique_hmodule(module);
    }
    return unique_hmodule();
}

HINSTANCE GetLanguageResourceHandle()
{
    return resourceHandle != nullptr ? resourceHandle : GetCurrentModule();
}

void SetLanguageResourceHandle(HINSTANCE module)
{
    resourceHandle = module;
}

HMODULE GetCurrentModule()
{
    return reinterpret_cast<HMODULE>(&__ImageBase);
}
