// The MUI resource configuration of Peryl.dll and of its language file: both
// present and well formed, and agreeing as the system's resource loader
// requires before it takes texts and templates from the language file.
#include <gtest/gtest.h>
#include "support/RowTrace.h"
#include <windows.h>
#include <cstring>
#include <set>
#include <string>
#include <vector>
#include "Handles.h"
#include "support/TestPaths.h"

namespace {

constexpr DWORD headerSize = 0x84;

struct MuiConfig
{
    std::string problem;  // empty when present and well formed
    DWORD fileType = 0;
    DWORD fallbackLocation = 0;
    std::vector<BYTE> serviceChecksum;
    std::vector<BYTE> checksum;
    std::vector<std::wstring> mainTypeNames;
    std::vector<DWORD> mainTypeIds;
    std::vector<std::wstring> languageTypeNames;
    std::vector<DWORD> languageTypeIds;
    std::wstring language;
    std::wstring fallbackLanguage;
};

DWORD DwordAt(const std::vector<BYTE>& data, size_t at)
{
    DWORD value = 0;
    std::memcpy(&value, data.data() + at, sizeof(value));
    return value;
}

// The (offset, size) pair at `at`; false when it points outside the data.
bool Range(const std::vector<BYTE>& data, size_t at, size_t& offset, size_t& size)
{
    offset = DwordAt(data, at);
    size = DwordAt(data, at + 4);
    if (size == 0)
        return offset == 0;
    return offset >= headerSize && offset <= data.size() && size <= data.size() - offset;
}

std::wstring Text(const std::vector<BYTE>& data, size_t offset, size_t size)
{
    std::wstring text(size / sizeof(wchar_t), L'\0');
    std::memcpy(&text[0], data.data() + offset, text.size() * sizeof(wchar_t));
    return text;
}

MuiConfig ReadMuiConfig(const std::wstring& path)
{
    MuiConfig config;
    unique_hmodule module(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    HRSRC found = module ? FindResourceW(module.get(), MAKEINTRESOURCEW(1), L"MUI") : nullptr;
    HGLOBAL loaded = found != nullptr ? LoadResource(module.get(), found) : nullptr;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        config.problem = "no MUI resource 1";
        return config;
    }
    const auto* first = static_cast<const BYTE*>(bytes);
    const std::vector<BYTE> data(first, first + SizeofResource(module.get(), found));
    if (data.size() < headerSize || DwordAt(data, 0) != 0xFECDFECD) {
        config.problem = "no signature";
        return config;
    }
    if (DwordAt(data, 4) != data.size() || DwordAt(data, 8) != 0x10000) {
        config.problem = "size or version wrong";
        return config;
    }
    config.fileType = DwordAt(data, 16);
    config.fallbackLocation = DwordAt(data, 24);
    config.serviceChecksum.assign(data.begin() + 28, data.begin() + 44);
    config.checksum.assign(data.begin() + 44, data.begin() + 60);

    std::vector<std::wstring>* names[] = {&config.mainTypeNames, nullptr, &config.languageTypeNames, nullptr};
    std::vector<DWORD>* ids[] = {nullptr, &config.mainTypeIds, nullptr, &config.languageTypeIds};
    std::wstring* texts[] = {&config.language, &config.fallbackLanguage};
    for (size_t pair = 0; pair < 6; ++pair) {
        size_t offset = 0;
        size_t size = 0;
        if (!Range(data, 84 + pair * 8, offset, size)) {
            config.problem = "list " + std::to_string(pair) + " outside the resource";
            return config;
        }
        if (pair < 4 && ids[pair] != nullptr) {
            if (size % 4 != 0) {
                config.problem = "type id list " + std::to_string(pair) + " not whole numbers";
                return config;
            }
            for (size_t at = offset; at < offset + size; at += 4)
                ids[pair]->push_back(DwordAt(data, at));
            continue;
        }
        const std::wstring text = Text(data, offset, size);
        if (size != 0 && (size % 2 != 0 || text.empty() || text.back() != L'\0')) {
            config.problem = "text " + std::to_string(pair) + " not terminated";
            return config;
        }
        if (pair >= 4) {
            *texts[pair - 4] = text.c_str();
            continue;
        }
        // Type names: each terminated, an empty one ends the list.
        size_t start = 0;
        while (start < text.size() && text[start] != L'\0') {
            const size_t end = text.find(L'\0', start);
            names[pair]->push_back(text.substr(start, end - start));
            start = end + 1;
        }
        if (start >= text.size() && size != 0) {
            config.problem = "type name list " + std::to_string(pair) + " not ended by an empty name";
            return config;
        }
    }
    return config;
}

BOOL CALLBACK AddType(HMODULE, LPWSTR type, LONG_PTR param)
{
    auto& found = *reinterpret_cast<std::set<std::wstring>*>(param);
    found.insert(IS_INTRESOURCE(type) ? std::to_wstring(reinterpret_cast<ULONG_PTR>(type)) : std::wstring(type));
    return TRUE;
}

// Every resource type in the file: numbers as such, names as text.
std::set<std::wstring> ResourceTypes(const std::wstring& path)
{
    std::set<std::wstring> types;
    unique_hmodule module(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (module)
        EnumResourceTypesW(module.get(), AddType, reinterpret_cast<LONG_PTR>(&types));
    return types;
}

std::set<std::wstring> Declared(const std::vector<std::wstring>& names, const std::vector<DWORD>& ids)
{
    std::set<std::wstring> types(names.begin(), names.end());
    for (DWORD id : ids)
        types.insert(std::to_wstring(id));
    return types;
}

}  // namespace

TEST(PerylMuiConfig, ModuleAndLanguageFilesDeclareTheirPartsAndMatch)
{
    const MuiConfig module = ReadMuiConfig(BinFile(L"Peryl.dll"));
    ASSERT_EQ("", module.problem) << "Peryl.dll";

    // The module: language-neutral, its last-resort texts in the en-US file.
    EXPECT_EQ(1u, module.fileType & 0x0F);
    EXPECT_EQ(2u, module.fallbackLocation);
    EXPECT_EQ(L"", module.language);
    EXPECT_EQ(L"en-US", module.fallbackLanguage);
    EXPECT_EQ((std::vector<DWORD>{5, 6}), module.languageTypeIds);  // dialogs and strings live outside
    EXPECT_EQ((std::set<std::wstring>{L"MUI", L"16", L"24"}), ResourceTypes(BinFile(L"Peryl.dll")));
    EXPECT_EQ(ResourceTypes(BinFile(L"Peryl.dll")), Declared(module.mainTypeNames, module.mainTypeIds));
    EXPECT_NE(std::vector<BYTE>(16, 0), module.checksum);

    for (const wchar_t* folder : {L"en-US", L"de-DE"}) {
        const std::wstring path = BinFile((std::wstring(folder) + L"\\Peryl.dll.mui").c_str());
        ROW_TRACE(std::string(folder, folder + wcslen(folder)));
        const MuiConfig language = ReadMuiConfig(path);
        ASSERT_EQ("", language.problem);

        // The language file: language-specific, for the language its folder names.
        EXPECT_EQ(2u, language.fileType & 0x0F);
        EXPECT_EQ(module.fileType & 0xF0, language.fileType & 0xF0);
        EXPECT_EQ(folder, language.language);
        EXPECT_EQ(L"", language.fallbackLanguage);
        EXPECT_EQ((std::set<std::wstring>{L"MUI", L"5", L"6"}), ResourceTypes(path));
        EXPECT_EQ(ResourceTypes(path), Declared(language.mainTypeNames, language.mainTypeIds));

        // The loader pairs each language file with the module by these.
        EXPECT_EQ(module.checksum, language.checksum);
        EXPECT_EQ(module.serviceChecksum, language.serviceChecksum);
    }
}
