// Which language the programs show: the user's UI language where its language
// file is there, English otherwise.
//
// Wine takes a process's UI language from the Unix LANG it starts with, and a
// child gets its parent's, whatever environment block it is handed; so a test
// cannot start one child German and the next French. CTest runs this program
// once per LANG of the tables below (tests/language/CMakeLists.txt), and each
// run takes the rows of the LANG it was started with.
#include <gtest/gtest.h>
#include "support/RowTrace.h"
#include <windows.h>
#include <string>
#include <vector>
#include "support/ChildProcess.h"
#include "HostWindow.h"
#include "StandIns.h"
#include "VexaUtilsWatch.h"
#include "support/RegistryFixtures.h"
#include "support/TempFolder.h"
#include "support/TestPaths.h"
#include "peryl/resource.h"
#include "tarvix/resource.h"

namespace {

const DWORD timeout = 30000;
// The product name is not translated: it also names the single-instance mutex.
const wchar_t title[] = L"Tarvix Button Utility";

std::string Narrow(const std::wstring& text)
{
    std::string bytes(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &bytes[0], static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(bytes.empty() ? 0 : bytes.size() - 1);
    return bytes;
}

std::wstring OwnLang()
{
    wchar_t value[64] = L"";
    const DWORD length = GetEnvironmentVariableW(L"LANG", value, 64);
    return length > 0 && length < 64 ? value : L"";
}

// A program or plug-in copied into a folder of its own with the language
// files of the case: whatever another test does to bin\ leaves it alone.
class LanguageCopy
{
public:
    LanguageCopy(const wchar_t* binary, bool withGerman) : folder_(L"language-choice")
    {
        ok_ = CopyFileW(BinFile(binary).c_str(), Path(binary).c_str(), FALSE) != FALSE;
        std::vector<const wchar_t*> languages = {L"en-US"};
        if (withGerman)
            languages.push_back(L"de-DE");
        for (const wchar_t* language : languages) {
            const std::wstring file = std::wstring(language) + L"\\" + binary + L".mui";
            ok_ = ok_ && CreateDirectoryW((folder_.path() + language).c_str(), nullptr) &&
                  CopyFileW(BinFile(file.c_str()).c_str(), (folder_.path() + file).c_str(), FALSE);
        }
    }
    bool ok() const { return ok_; }
    std::wstring Path(const wchar_t* binary) const { return folder_.path() + binary; }

private:
    ScopedTempFolder folder_;
    bool ok_ = false;
};

// The LANGs the runs of this program cover, blank-separated.
std::wstring CoveredLangs()
{
    wchar_t value[256] = L"";
    const DWORD length = GetEnvironmentVariableW(L"LANGUAGE_CHOICE_LANGS", value, 256);
    return length < 256 ? L" " + std::wstring(value) + L" " : L"";
}

// The rows of a table that belong to this process's LANG; a row whose LANG no
// run covers is a failure, since it would never be tried.
template <typename Row, size_t count>
std::vector<const Row*> RowsForOwnLang(const Row (&rows)[count])
{
    std::vector<const Row*> own;
    for (const Row& row : rows) {
        EXPECT_NE(std::wstring::npos, CoveredLangs().find(L" " + std::wstring(row.lang) + L" "))
            << row.what << ": LANG=" << Narrow(row.lang) << " is not among the LANGs this program runs under ("
            << Narrow(CoveredLangs()) << ")";
        if (OwnLang() == row.lang)
            own.push_back(&row);
    }
    return own;
}

struct TarvixTexts
{
    const wchar_t* presetCaption;
    const wchar_t* cancel;
    const wchar_t* apply;
    const wchar_t* leftPanel;
    const wchar_t* ownPreset;
    const wchar_t* setUpFailed;  // how the error box's text begins
};

const TarvixTexts tarvixEnglish = {L"&Use a preset:",  L"Cancel",
                                   L"&Apply",          L"&Left side button",
                                   L"My own settings", L"The special mouse buttons could not be set up."};
const TarvixTexts tarvixGerman = {L"&Voreinstellung:",     L"Abbrechen",
                                  L"Ü&bernehmen",          L"&Linke Seitentaste",
                                  L"Eigene Einstellungen", L"Die Sondertasten der Maus konnten nicht eingerichtet"};

struct TarvixRow
{
    const char* what;
    const wchar_t* lang;
    bool withGerman;
    const TarvixTexts& shown;
};

const TarvixRow tarvixRows[] = {
    {"German", L"de_DE.UTF-8", true, tarvixGerman},
    {"German without the German file", L"de_DE.UTF-8", false, tarvixEnglish},
    {"French, which the program does not have", L"fr_FR.UTF-8", true, tarvixEnglish},
};

std::wstring ControlText(HWND dialog, int id)
{
    return WindowText(GetDlgItem(dialog, id));
}

TEST(LanguageChoice, TarvixUtilityShowsTheUsersLanguageOrEnglish)
{
    const std::vector<const TarvixRow*> rows = RowsForOwnLang(tarvixRows);
    ASSERT_FALSE(rows.empty()) << "no row for LANG=" << Narrow(OwnLang())
                               << "; CTest's LanguageChoice tests run this once per language";
    NoCrashDialog noCrashDialog;
    OwnDeviceState device;  // the program inherits the key through its environment
    for (const TarvixRow* row : rows) {
        ROW_TRACE(row->what);
        LanguageCopy copy(L"TarvixUtility.exe", row->withGerman);
        ASSERT_TRUE(copy.ok());
        const std::wstring line = Quoted(copy.Path(L"TarvixUtility.exe"));

        // The main dialog.
        {
            ChildProcess program(line);
            HWND dialog = program.WaitForWindow(dialogClass, title, timeout);
            ASSERT_NE(nullptr, dialog) << "no main dialog within " << timeout / 1000
                                       << " s; the program: " << DescribeExit(program.WaitForExit(0));
            ASSERT_NE(nullptr, GetDlgItem(dialog, IDC_PRESET_LIST))
                << "a message box instead of the dialog: " << Narrow(ControlText(dialog, 0xFFFF));
            EXPECT_EQ(Narrow(row->shown.presetCaption), Narrow(ControlText(dialog, IDC_PRESET_CAPTION)));
            EXPECT_EQ(Narrow(row->shown.cancel), Narrow(ControlText(dialog, IDC_CANCEL)));
            EXPECT_EQ(Narrow(row->shown.apply), Narrow(ControlText(dialog, IDC_APPLY)));
            EXPECT_EQ(Narrow(row->shown.leftPanel), Narrow(ControlText(dialog, IDC_BUTTON0_PANEL)));
            // The string table comes from the same file as the template.
            EXPECT_LE(0, SendMessageW(GetDlgItem(dialog, IDC_PRESET_LIST), CB_FINDSTRINGEXACT,
                                      static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(row->shown.ownPreset)))
                << "no preset \"" << Narrow(row->shown.ownPreset) << "\"";
            DWORD_PTR result = 0;
            EXPECT_NE(0, SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(IDC_CANCEL, BN_CLICKED),
                                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_CANCEL)), SMTO_NORMAL,
                                             timeout, &result))
                << "Cancel was not handled within " << timeout / 1000 << " s";
            EXPECT_EQ(DescribeExit(0), DescribeExit(program.WaitForExit(timeout)));
        }

        // A message box: the device cannot set the buttons up.
        {
            device.SetText(L"FailMethod", L"Prepare");
            ChildProcess program(line);
            HWND box = program.WaitForWindow(dialogClass, title, timeout);
            device.SetText(L"FailMethod", L"");
            ASSERT_NE(nullptr, box) << "no error box within " << timeout / 1000
                                    << " s; the program: " << DescribeExit(program.WaitForExit(0));
            const std::wstring text = ControlText(box, 0xFFFF);
            EXPECT_EQ(0u, text.find(row->shown.setUpFailed)) << Narrow(text);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
            EXPECT_EQ(DescribeExit(1), DescribeExit(program.WaitForExit(timeout)));
        }
    }
}

struct PerylTexts
{
    const wchar_t* logoTitle;
    const wchar_t* brightnessTitle;
    const wchar_t* alwaysOn;  // the logo-lamp page's first radio button
};

const PerylTexts perylEnglish = {L"Logo lamp", L"Lamp brightness", L"&Always on"};
const PerylTexts perylGerman = {L"Logobeleuchtung", L"Helligkeit der Beleuchtung", L"&Immer an"};

struct PerylRow
{
    const char* what;
    const wchar_t* lang;
    bool withGerman;
    const PerylTexts& shown;
};

const PerylRow perylRows[] = {
    {"German", L"de_DE.UTF-8", true, perylGerman},
    {"German without the German file", L"de_DE.UTF-8", false, perylEnglish},
    {"French, which the plug-in does not have", L"fr_FR.UTF-8", true, perylEnglish},
};

std::wstring ListBoxText(HWND list, int item)
{
    wchar_t text[256] = L"";
    if (SendMessageW(list, LB_GETTEXTLEN, item, 0) < 256)
        SendMessageW(list, LB_GETTEXT, item, reinterpret_cast<LPARAM>(text));
    return text;
}

HWND VisiblePage(HWND host)
{
    for (HWND page = FindWindowExW(host, nullptr, MAKEINTATOM(32770), nullptr); page != nullptr;
         page = FindWindowExW(host, page, MAKEINTATOM(32770), nullptr)) {
        if (IsWindowVisible(page))
            return page;
    }
    return nullptr;
}

TEST(LanguageChoice, PerylPagesInTheHostShowTheUsersLanguageOrEnglish)
{
    const std::vector<const PerylRow*> rows = RowsForOwnLang(perylRows);
    ASSERT_FALSE(rows.empty()) << "no row for LANG=" << Narrow(OwnLang())
                               << "; CTest's LanguageChoice tests run this once per language";
    NoCrashDialog noCrashDialog;
    VexaUtilsWatch watch;  // the host inherits its configuration through the environment
    ASSERT_TRUE(watch.ok());
    watch.SetCapability(3);  // both pages
    for (const PerylRow* row : rows) {
        ROW_TRACE(row->what);
        LanguageCopy copy(L"Peryl.dll", row->withGerman);
        ASSERT_TRUE(copy.ok());

        ChildProcess host(ProgramLine(L"PlenkitHost.exe", L"/quiet " + Quoted(copy.Path(L"Peryl.dll"))), 0, nullptr,
                          true);
        HWND window = host.WaitForWindow(CHostWindow::WindowClassName(), L"", timeout);
        ASSERT_NE(nullptr, window) << "no host window within " << timeout / 1000
                                   << " s; the host: " << DescribeExit(host.WaitForExit(0)) << "\n"
                                   << host.Errors();
        ASSERT_TRUE(Answers(window)) << "the host window does not answer";
        HWND pages = GetDlgItem(window, IDC_HOST_PAGE_LIST);
        ASSERT_EQ(2, SendMessageW(pages, LB_GETCOUNT, 0, 0));
        EXPECT_EQ(Narrow(row->shown.logoTitle), Narrow(ListBoxText(pages, 0)));
        EXPECT_EQ(Narrow(row->shown.brightnessTitle), Narrow(ListBoxText(pages, 1)));
        // The page itself, made from the plug-in's template.
        HWND page = VisiblePage(window);
        ASSERT_NE(nullptr, page) << "no page shown";
        EXPECT_EQ(Narrow(row->shown.logoTitle), Narrow(WindowText(GetDlgItem(page, IDC_LOGO_LAMP_HEADING))));
        EXPECT_EQ(Narrow(row->shown.alwaysOn), Narrow(WindowText(GetDlgItem(page, IDC_LOGO_LAMP_MODE_1))));
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(DescribeExit(0), DescribeExit(host.WaitForExit(timeout))) << host.Errors();
    }
}

}  // namespace
