// Peryl.dll inside the settings host: in-process and as the host program.
#include <gtest/gtest.h>
#include "support/RowTrace.h"
#include <windows.h>
#include <commctrl.h>
#include <iterator>
#include <string>
#include <vector>
#include "HostWindow.h"
#include "PageIdentity.h"
#include "PeloWatch.h"
#include "PluginSet.h"
#include "support/ModalDriver.h"
#include "support/ChildProcess.h"
#include "support/RegistryFixtures.h"
#include "VexaUtilsWatch.h"
#include "support/TestPaths.h"
#include "peryl/resource.h"

namespace {

class CollectingReporter : public IHostReporter
{
public:
    void Report(const CString& message) override { messages.push_back(message.GetString()); }
    std::vector<std::wstring> messages;
};

class PerylInHost : public testing::Test
{
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        ASSERT_TRUE(watch_.ok());
    }

    // Titles of the pages the host shows for a capability answer.
    std::vector<std::wstring> ShownPages(DWORD capability)
    {
        watch_.SetCapability(capability);
        CollectingReporter reporter;
        CPluginSet plugins(reporter);
        EXPECT_TRUE(plugins.Load(BinFile(L"Peryl.dll").c_str()));
        plugins.CheckSupport();
        CHostWindow host(plugins, reporter);
        EXPECT_NE(nullptr, host.Create());
        std::vector<std::wstring> titles;
        for (size_t i = 0; i < host.GetShownPageCount(); ++i)
            titles.emplace_back(host.GetShownPage(i).title.GetString());
        EXPECT_TRUE(reporter.messages.empty());
        return titles;
    }

    VexaUtilsWatch watch_;
};

std::wstring RowText(HWND list, int row)
{
    wchar_t text[128] = {};
    LVITEMW item = {};
    item.pszText = text;
    item.cchTextMax = 128;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

// The page dialog the host shows at the moment.
HWND VisiblePage(HWND host)
{
    for (HWND page = FindWindowExW(host, nullptr, MAKEINTATOM(32770), nullptr); page != nullptr;
         page = FindWindowExW(host, page, MAKEINTATOM(32770), nullptr)) {
        if (IsWindowVisible(page))
            return page;
    }
    return nullptr;
}

using Titles = std::vector<std::wstring>;

// A click on a button of the host program, handled there before this returns;
// false when the host did not come back within the time (a message box, a hang).
bool ClickInHost(HWND button)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_NORMAL, 30000, &result) != 0;
}

}  // namespace

TEST_F(PerylInHost, HostShowsThePagesTheHardwareReports)
{
    EXPECT_EQ((Titles{L"Logo lamp", L"Lamp brightness"}), ShownPages(3));
    EXPECT_EQ(Titles{L"Logo lamp"}, ShownPages(1));
    EXPECT_EQ(Titles{L"Lamp brightness"}, ShownPages(2));
    EXPECT_EQ(Titles(), ShownPages(0));
    EXPECT_FALSE(VexaUtilsWatch::Loaded());
}

TEST_F(PerylInHost, PagesShowTheDetectedApplicationsAndKeepNoRowSelected)
{
    ScopedRegistryKey marlow(L"Software\\Kelvor Corporation\\Marlow Digital");
    ScopedRegistryKey ardent(L"Software\\Kelvor Corporation\\Ardent Media plus");
    watch_.SetCapability(3);
    CollectingReporter reporter;
    CPluginSet plugins(reporter);
    ASSERT_TRUE(plugins.Load(BinFile(L"Peryl.dll").c_str()));
    plugins.CheckSupport();
    CHostWindow host(plugins, reporter);
    HWND window = host.Create();
    ASSERT_NE(nullptr, window);
    ShowWindow(window, SW_SHOW);
    ASSERT_EQ(2u, host.GetShownPageCount());
    EXPECT_EQ(L"Choose when the lamp behind the logo on the lid is lit.",
              std::wstring(host.GetShownPage(0).description.GetString()));

    const int lists[] = {IDC_LOGO_LAMP_APP_LIST, IDC_LAMP_BRIGHTNESS_APP_LIST};
    for (size_t i = 0; i < 2; ++i) {
        host.ShowPage(i);
        HWND page = host.GetPageWindow(i);
        HWND list = GetDlgItem(page, lists[i]);
        ASSERT_NE(nullptr, list);
        ASSERT_EQ(2, SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        EXPECT_EQ(L"Marlow Digital", RowText(list, 0));
        EXPECT_EQ(L"Ardent Media plus", RowText(list, 1));
        EXPECT_EQ(450, SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));

        // The list sits where the page put it.
        RECT rect;
        GetWindowRect(list, &rect);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&rect), 2);
        EXPECT_EQ(PlenkitScale(265, true), rect.top);
        EXPECT_EQ(PlenkitScale(480, false), rect.right - rect.left);

        // A click on a row: the page's hook takes the selection away again.
        RECT row = {};
        row.left = LVIR_LABEL;
        SendMessageW(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
        const LPARAM at = MAKELPARAM((row.left + row.right) / 2, (row.top + row.bottom) / 2);
        PostMessageW(list, WM_LBUTTONUP, 0, at);
        SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        EXPECT_EQ(0, SendMessageW(list, LVM_GETSELECTEDCOUNT, 0, 0));
    }
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(PerylInHost, HostProgramListsPerylFromItsRegistration)
{
    watch_.SetCapability(1);  // the host process inherits this test's stand-in configuration
    const ProcessResult run = RunProcess(Quoted(BinFile(L"PlenkitHost.exe")) + L" /list /quiet");
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(0u, run.exitCode) << run.err;
    EXPECT_EQ("0\tsupported\tLogo lamp\t0605F063-C96F-45b8-881E-661479F1AF14\n"
              "1\tunsupported\tLamp brightness\t651D2B16-EDFB-439b-AB5B-950D6C6C3BF2\n",
              run.out);
}

TEST_F(PerylInHost, HostProgramShowsPerylPages)
{
    watch_.SetCapability(3);
    ScopedRegistryKey marlow(L"Software\\Kelvor Corporation\\Marlow Digital");
    ChildProcess host(ProgramLine(L"PlenkitHost.exe", L"/quiet " + Quoted(BinFile(L"Peryl.dll"))));
    HWND window = host.WaitForWindow(CHostWindow::WindowClassName());
    ASSERT_NE(nullptr, window) << "no host window within 20 s; the host ended with " << host.WaitForExit(0);
    EXPECT_EQ(2, SendMessageW(GetDlgItem(window, IDC_HOST_PAGE_LIST), LB_GETCOUNT, 0, 0));
    HWND page = VisiblePage(window);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(1, SendMessageW(GetDlgItem(page, IDC_LOGO_LAMP_APP_LIST), LVM_GETITEMCOUNT, 0, 0));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, host.WaitForExit(10000));
}

TEST_F(PerylInHost, LogoLampRadioButtonsSendTheirModeToTheService)
{
    PeloWatch service;  // before the host starts: it inherits the record's place
    ASSERT_TRUE(service.ok());
    const unsigned long long logStart = PeloWatch::LogEnd();
    watch_.SetCapability(3);
    ChildProcess host(ProgramLine(L"PlenkitHost.exe", L"/quiet " + Quoted(BinFile(L"Peryl.dll"))));
    HWND window = host.WaitForWindow(CHostWindow::WindowClassName());
    ASSERT_NE(nullptr, window) << "no host window within 20 s; the host ended with " << host.WaitForExit(0);
    HWND page = VisiblePage(window);
    ASSERT_NE(nullptr, page);
    ASSERT_NE(nullptr, GetDlgItem(page, IDC_LOGO_LAMP_MODE_1)) << "the logo-lamp page comes first";

    const struct
    {
        int button;
        DWORD mode;
    } clicks[] = {{IDC_LOGO_LAMP_MODE_1, 2}, {IDC_LOGO_LAMP_MODE_3, 0}, {IDC_LOGO_LAMP_MODE_2, 1}};
    for (const auto& click : clicks) {
        ASSERT_TRUE(ClickInHost(GetDlgItem(page, click.button))) << "the click was not handled within 30 s";
        EXPECT_EQ(click.mode, service.Get(L"LastMode"));
        EXPECT_EQ(BST_CHECKED, SendMessageW(GetDlgItem(page, click.button), BM_GETCHECK, 0, 0));
    }
    EXPECT_EQ(3u, service.Get(L"ExecuteCalls"));
    EXPECT_EQ(L"0605F063-C96F-45b8-881E-661479F1AF14", service.GetText(L"LastCaller"));
    const std::vector<std::string> lines = PeloWatch::LogLines(host.Id(), logStart);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(0u, lines[0].find("process " + std::to_string(host.Id()) + " mode 2 caller "));
    EXPECT_NE(std::string::npos, lines[1].find(" mode 0 "));
    EXPECT_NE(std::string::npos, lines[2].find(" mode 1 "));

    // The lamp-brightness page carries no option: its buttons send nothing.
    SendMessageW(GetDlgItem(window, IDC_HOST_PAGE_LIST), LB_SETCURSEL, 1, 0);
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_HOST_PAGE_LIST, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, IDC_HOST_PAGE_LIST)));
    HWND brightness = VisiblePage(window);
    ASSERT_NE(nullptr, GetDlgItem(brightness, IDC_LAMP_BRIGHTNESS_LEVEL_1));
    ASSERT_TRUE(ClickInHost(GetDlgItem(brightness, IDC_LAMP_BRIGHTNESS_LEVEL_1)))
        << "the click was not handled within 30 s";
    EXPECT_EQ(3u, service.Get(L"ExecuteCalls"));

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, host.WaitForExit(10000));
}

TEST_F(PerylInHost, WithoutTheServiceASelectionChangesNothingElse)
{
    PeloWatch service;
    ASSERT_TRUE(service.ok());
    service.Set(L"Absent", 1);
    const unsigned long long logStart = PeloWatch::LogEnd();
    watch_.SetCapability(1);
    ChildProcess host(ProgramLine(L"PlenkitHost.exe", Quoted(BinFile(L"Peryl.dll"))));
    HWND window = host.WaitForWindow(CHostWindow::WindowClassName());
    ASSERT_NE(nullptr, window) << "no host window within 20 s; the host ended with " << host.WaitForExit(0);
    HWND page = VisiblePage(window);
    ASSERT_NE(nullptr, page);
    ASSERT_TRUE(ClickInHost(GetDlgItem(page, IDC_LOGO_LAMP_MODE_1)))
        << "the click was not handled within 30 s: a message box?";
    EXPECT_EQ(BST_CHECKED, SendMessageW(GetDlgItem(page, IDC_LOGO_LAMP_MODE_1), BM_GETCHECK, 0, 0));
    EXPECT_EQ(0xFFFFFFFFu, service.Get(L"ProbeCalls"));
    EXPECT_EQ(0xFFFFFFFFu, service.Get(L"LastMode"));
    EXPECT_TRUE(PeloWatch::LogLines(host.Id(), logStart).empty());
    // No message box was raised (this run is not /quiet): the host window is still the only one.
    EXPECT_EQ(window, host.WaitForWindow(CHostWindow::WindowClassName(), L"", 0));
    EXPECT_EQ(nullptr, host.WaitForWindow(dialogClass, L"", 0));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, host.WaitForExit(10000));
}

// Each page without a mouse, in the host's own dialog handling: the radio
// buttons and the list in the order they are seen, and every mnemonic to its
// control. The pages take the process's UI language, so CTest runs this once
// more under a German LANG; any other language shows the English pages.
TEST_F(PerylInHost, PageControlsAreReachedByKeyboard)
{
    PeloWatch service;  // absent: a choice changes nothing outside and raises no message box
    ASSERT_TRUE(service.ok());
    service.Set(L"Absent", 1);
    ScopedRegistryKey marlow(L"Software\\Kelvor Corporation\\Marlow Digital");
    watch_.SetCapability(3);
    CollectingReporter reporter;
    CPluginSet plugins(reporter);
    ASSERT_TRUE(plugins.Load(BinFile(L"Peryl.dll").c_str()));
    plugins.CheckSupport();
    CHostWindow host(plugins, reporter);
    HWND window = host.Create();
    ASSERT_NE(nullptr, window);
    ShowWindow(window, SW_SHOW);
    ASSERT_EQ(2u, host.GetShownPageCount());

    struct PageKeys
    {
        const wchar_t* firstText;  // tells which language the page really shows
        wchar_t note, modes[3];    // the mnemonics of the list's label and of the radio buttons
    };
    struct LanguageKeys
    {
        WORD primaryLanguage;
        PageKeys pages[2];
    };
    const LanguageKeys languages[] = {
        {LANG_ENGLISH, {{L"&Always on", L'f', {L'a', L'v', L'o'}}, {L"&Bright", L'f', {L'b', L'v', L'd'}}}},
        {LANG_GERMAN, {{L"&Immer an", L'c', {L'i', L'v', L'a'}}, {L"&Hell", L'c', {L'h', L'v', L'g'}}}},
    };
    const WORD uiLanguage = PRIMARYLANGID(GetUserDefaultUILanguage());
    const LanguageKeys* keys = &languages[0];
    for (const LanguageKeys& language : languages) {
        if (language.primaryLanguage == uiLanguage)
            keys = &language;
    }
    ROW_TRACE("UI language " + std::to_string(uiLanguage));

    struct Row
    {
        UINT key;
        Held held;
        int focus;
    };
    const struct
    {
        int modes[3];  // the three radio buttons, in order
        int list;
    } pageControls[] = {
        {{IDC_LOGO_LAMP_MODE_1, IDC_LOGO_LAMP_MODE_2, IDC_LOGO_LAMP_MODE_3}, IDC_LOGO_LAMP_APP_LIST},
        {{IDC_LAMP_BRIGHTNESS_LEVEL_1, IDC_LAMP_BRIGHTNESS_LEVEL_2, IDC_LAMP_BRIGHTNESS_LEVEL_3},
         IDC_LAMP_BRIGHTNESS_APP_LIST},
    };
    for (size_t p = 0; p < std::size(pageControls); ++p) {
        ROW_TRACE("page " + std::to_string(p));
        const auto& ids = pageControls[p];
        const PageKeys& typed = keys->pages[p];
        const Row rows[] = {
            {VK_TAB, Held::nothing, ids.list},         {VK_TAB, Held::shift, ids.modes[0]},
            {VK_DOWN, Held::nothing, ids.modes[1]},    {typed.note, Held::alt, ids.list},
            {typed.modes[2], Held::alt, ids.modes[2]}, {typed.modes[1], Held::alt, ids.modes[1]},
            {typed.modes[0], Held::alt, ids.modes[0]},
        };
        host.ShowPage(p);
        HWND page = host.GetPageWindow(p);
        ASSERT_NE(nullptr, page);
        wchar_t firstText[128] = L"";
        GetDlgItemTextW(page, ids.modes[0], firstText, 128);
        ASSERT_STREQ(typed.firstText, firstText) << "the page is not in the language of this run";
        // From the first radio button, checked as a click leaves it.
        SendMessageW(GetDlgItem(page, ids.modes[0]), BM_CLICK, 0, 0);
        PumpMessages(window);
        ASSERT_EQ(GetDlgItem(page, ids.modes[0]), DialogFocus(window));
        for (size_t i = 0; i < std::size(rows); ++i) {
            const Row& row = rows[i];
            PressKey(window, row.key, row.held);
            EXPECT_EQ(GetDlgItem(page, row.focus), DialogFocus(window)) << "row " << i;
            if (row.focus != ids.list) {
                EXPECT_EQ(BST_CHECKED, SendDlgItemMessageW(page, row.focus, BM_GETCHECK, 0, 0))
                    << "row " << i << ": the radio button that has the focus is the one chosen";
            }
        }
    }
    EXPECT_EQ(0xFFFFFFFFu, service.Get(L"LastMode"));
    EXPECT_TRUE(reporter.messages.empty());
}
