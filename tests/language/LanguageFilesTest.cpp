// Every translation against the en-US file it was made from: the same texts
// and templates by id, none of them empty, and the key names still usable by
// the key-combination dialog, which looks keys up by their names. And every
// language's dialogs as the keyboard and a screen reader take them.
#include <gtest/gtest.h>
#include "support/RowTrace.h"
#include <windows.h>
#include <commctrl.h>
#include <map>
#include <set>
#include <string>
#include <vector>
#include "Handles.h"
#include "support/TestPaths.h"
#include "peryl/resource.h"
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
        ROW_TRACE(Narrow(file));
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
            EXPECT_TRUE(names.insert(name).second)
                << "text " << id << " names a key named before: " << Narrow(Text(translated.get(), id));
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


// The character after the one "&" that marks a mnemonic; 0 when there is none.
wchar_t Mnemonic(const std::wstring& text)
{
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != L'&')
            continue;
        if (text[i + 1] != L'&')
            return text[i + 1];
        ++i;  // "&&" is a plain "&"
    }
    return 0;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = L"";
    GetClassNameW(window, name, 64);
    return name;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[512] = L"";
    GetWindowTextW(window, text, 512);
    return text;
}

bool IsGroupBox(HWND window)
{
    return _wcsicmp(ClassOf(window).c_str(), L"Button") == 0 &&
           (GetWindowLongW(window, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// What the user works with: the label texts and group boxes only name it.
bool IsInteractive(HWND window)
{
    const std::wstring type = ClassOf(window);
    if (_wcsicmp(type.c_str(), L"Button") == 0)
        return !IsGroupBox(window);
    return _wcsicmp(type.c_str(), L"ComboBox") == 0 || _wcsicmp(type.c_str(), L"Edit") == 0 ||
           _wcsicmp(type.c_str(), WC_LISTVIEWW) == 0;
}

// A static text that shows data (SS_NOPREFIX) names nothing.
bool IsLabel(HWND window)
{
    if (_wcsicmp(ClassOf(window).c_str(), L"Static") != 0 || TextOf(window).empty())
        return false;
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    return (style & SS_NOPREFIX) == 0 && (style & SS_TYPEMASK) <= SS_RIGHT;
}

struct CloseWindow
{
    static void close(HWND h) noexcept { ::DestroyWindow(h); }
};
using unique_hwnd = unique_resource<handle_traits::NullIsInvalid<HWND, CloseWindow>>;

INT_PTR CALLBACK NoDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

struct Template
{
    const wchar_t* file;  // the en-US file; each translation is checked too
    UINT dialog;
    std::set<int> enterEscape;  // the Enter and Escape buttons: those keys are their mnemonics
    std::set<int> annotated;    // named in code, not by a label
};

const Template templates[] = {
    {L"TarvixUtility.exe.mui", IDD_MAIN_DIALOG, {IDC_OK, IDC_CANCEL}, {IDC_BUTTON0_FUNCTIONS, IDC_BUTTON1_FUNCTIONS}},
    {L"TarvixUtility.exe.mui", IDD_KEY_COMBINATION, {IDOK, IDCANCEL}, {}},
    {L"TarvixUtility.exe.mui", IDD_APPLICATION_CHOOSER, {IDOK, IDCANCEL}, {}},
    {L"Peryl.dll.mui", IDD_LOGO_LAMP_PAGE, {}, {}},
    {L"Peryl.dll.mui", IDD_LAMP_BRIGHTNESS_PAGE, {}, {}},
};

// The dialog manager moves the focus by mnemonic: a button's to the button, a
// label's to the control right after it, and the first of two equal ones wins.
// A screen reader names a control without text of its own by that label too.
TEST(LanguageFiles, EveryDialogHasOneMnemonicPerLabelAndButtonAndALabelBeforeEachField)
{
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    unique_hwnd parent(
        CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr));
    ASSERT_TRUE(parent);

    for (const wchar_t* language : {L"en-US\\", L"de-DE\\"}) {
        for (const Template& checked : templates) {
            const std::wstring file = std::wstring(language) + checked.file;
            ROW_TRACE(Narrow(file) + " dialog " + std::to_string(checked.dialog));
            const unique_hmodule module = OpenLanguageFile(BinFile(file.c_str()));
            ASSERT_TRUE(module);
            HRSRC found = FindResourceW(module.get(), MAKEINTRESOURCEW(checked.dialog), RT_DIALOG);
            ASSERT_NE(nullptr, found);
            auto* dialogTemplate = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(module.get(), found)));
            unique_hwnd dialog(
                CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, parent.get(), NoDialogProc, 0));
            ASSERT_TRUE(dialog) << "error " << GetLastError();

            std::map<wchar_t, std::wstring> mnemonics;
            int fields = 0;
            for (HWND child = GetWindow(dialog.get(), GW_CHILD); child != nullptr;
                 child = GetWindow(child, GW_HWNDNEXT)) {
                const int id = GetDlgCtrlID(child);
                const std::wstring text = TextOf(child);
                HWND next = GetWindow(child, GW_HWNDNEXT);
                const bool label = (IsLabel(child) || IsGroupBox(child)) && next != nullptr && IsInteractive(next);
                const bool button = IsInteractive(child) && _wcsicmp(ClassOf(child).c_str(), L"Button") == 0;
                const wchar_t mnemonic = Mnemonic(text);
                if ((label || button) && checked.enterEscape.count(id) == 0) {
                    EXPECT_NE(0, mnemonic) << "\"" << Narrow(text) << "\" (" << id << ") has no mnemonic";
                }
                if (mnemonic != 0 && (IsLabel(child) || IsGroupBox(child) || button)) {
                    // Only these reach a control from Wine's dialog manager as well.
                    EXPECT_TRUE(iswascii(mnemonic) && iswalnum(mnemonic)) << "\"" << Narrow(text) << "\"";
                    const wchar_t key = static_cast<wchar_t>(towupper(mnemonic));
                    const auto taken = mnemonics.emplace(key, text);
                    EXPECT_TRUE(taken.second) << "\"" << Narrow(text) << "\" and \"" << Narrow(taken.first->second)
                                              << "\" share a mnemonic";
                }
                // A field's text is its content, not its name.
                if (IsInteractive(child) && !button) {
                    ++fields;
                    HWND before = GetWindow(child, GW_HWNDPREV);
                    if (checked.annotated.count(id) == 0) {
                        EXPECT_TRUE(before != nullptr && IsLabel(before))
                            << "control " << id << " has no label before it";
                    }
                }
            }
            EXPECT_GT(fields, 0) << "no field found: the walk saw no controls";
        }
    }
}

}  // namespace
