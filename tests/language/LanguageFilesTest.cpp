// Every translation against the en-US file it was made from: the same texts
// and templates by id, none of them empty, and the key names still usable by
// the key-combination dialog, which looks keys up by their names.
#include <gtest/gtest.h>
#include <windows.h>
#include <set>
#include <string>
#include "Handles.h"
#include "support/TestPaths.h"
#include "tarvix/resource.h"

namespace {

std::string Narrow(const std::wstring& text)
{
    std::string bytes(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &bytes[0], static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(bytes.empty() ? 0 : bytes.size() - 1);
    return bytes;
}

unique_hmodule OpenLanguageFile(const std::wstring& path)
{
    return unique_hmodule(
        LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

BOOL CALLBACK AddId(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR ids)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::set<UINT>*>(ids)->insert(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

std::set<UINT> ResourceIds(HMODULE module, LPCWSTR type)
{
    std::set<UINT> ids;
    EnumResourceNamesW(module, type, AddId, reinterpret_cast<LONG_PTR>(&ids));
    return ids;
}

std::wstring Text(HMODULE module, UINT id)
{
    const wchar_t* text = nullptr;
    const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 ? std::wstring(text, length) : std::wstring();
}

// Every string id with a text, from the blocks of sixteen the file holds.
std::set<UINT> StringIds(HMODULE module)
{
    std::set<UINT> ids;
    for (UINT block : ResourceIds(module, RT_STRING)) {
        for (UINT id = (block - 1) * 16; id < block * 16; ++id) {
            if (!Text(module, id).empty())
                ids.insert(id);
        }
    }
    return ids;
}

struct Translation
{
    const wchar_t* file;  // below bin\, beside its en-US original
    bool keyNames;        // TarvixUtility's key names are in it
};

const Translation translations[] = {
    {L"de-DE\\TarvixUtility.exe.mui", true},
    {L"de-DE\\Peryl.dll.mui", false},
};

TEST(LanguageFiles, TranslationsHoldEveryTextAndTemplateOfEnglishAndUsableKeyNames)
{
    for (const Translation& translation : translations) {
        const std::wstring file = translation.file;
        SCOPED_TRACE(Narrow(file));
        const unique_hmodule english = OpenLanguageFile(BinFile((L"en-US" + file.substr(file.find(L'\\'))).c_str()));
        const unique_hmodule translated = OpenLanguageFile(BinFile(translation.file));
        ASSERT_TRUE(english && translated);

        EXPECT_EQ(ResourceIds(english.get(), RT_DIALOG), ResourceIds(translated.get(), RT_DIALOG));
        const std::set<UINT> englishTexts = StringIds(english.get());
        ASSERT_FALSE(englishTexts.empty());
        for (UINT id : englishTexts)
            EXPECT_FALSE(Text(translated.get(), id).empty()) << "text " << id << " is missing";
        for (UINT id : StringIds(translated.get()))
            EXPECT_EQ(1u, englishTexts.count(id)) << "text " << id << " has no English original";
        if (!translation.keyNames)
            continue;

        // A key is found by its name: two keys of one name would be one key.
        std::set<std::wstring> names;
        for (UINT id = IDS_KEY_RETURN; id <= IDS_KEY_WIN; ++id) {
            std::wstring name = Text(translated.get(), id);
            CharUpperBuffW(&name[0], static_cast<DWORD>(name.size()));
            EXPECT_TRUE(names.insert(name).second) << "text " << id << " names a key named before: "
                                                   << Narrow(Text(translated.get(), id));
        }
        // The modifier pairs are split at their "+" and each half looked up.
        for (UINT id = IDS_KEY_WIN + 1; id <= IDS_KEY_WIN + 4; ++id) {
            const std::wstring pair = Text(translated.get(), id);
            const size_t plus = pair.find(L'+');
            ASSERT_NE(std::wstring::npos, plus) << Narrow(pair);
            std::set<std::wstring> modifiers;
            for (UINT modifier = IDS_KEY_SHIFT; modifier <= IDS_KEY_WIN; ++modifier)
                modifiers.insert(Text(translated.get(), modifier));
            EXPECT_EQ(1u, modifiers.count(pair.substr(0, plus))) << Narrow(pair);
            EXPECT_EQ(1u, modifiers.count(pair.substr(plus + 1))) << Narrow(pair);
        }
    }
}

} // namespace
