// The host's plug-in loading and window, in-process, with the fake plug-in.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <cstring>
#include "FakePluginLog.h"
#include "HostWindow.h"
#include "PluginSet.h"
#include "support/TestPaths.h"

namespace {

class CollectingReporter : public IHostReporter
{
public:
    void Report(const CString& message) override { messages.push_back(message); }
    bool Mentions(const wchar_t* a, const wchar_t* b) const
    {
        for (const CString& m : messages)
            if (m.Find(a) >= 0 && m.Find(b) >= 0)
                return true;
        return false;
    }
    std::vector<CString> messages;
};

// Keeps the fake plug-in mapped for the whole test, so its log can be read
// after the host let it go.
class FakePluginHostTest : public testing::Test
{
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        module_ = LoadLibraryW(Path(L"FakePlugin.dll"));
        ASSERT_NE(nullptr, module_);
        auto getLog = reinterpret_cast<FakeGetLogProc>(
            reinterpret_cast<void*>(GetProcAddress(module_, "fake_GetLog")));
        ASSERT_NE(nullptr, getLog);
        log_ = getLog();
        std::memset(log_, 0, sizeof(*log_));
    }
    void TearDown() override
    {
        if (module_ != nullptr)
            FreeLibrary(module_);
    }
    static CString Path(const wchar_t* name) { return CString(BinFile(name).c_str()); }

    HMODULE module_ = nullptr;
    FakePluginLog* log_ = nullptr;
};

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace

TEST_F(FakePluginHostTest, PagesComeInOrderWithTheirTextsAndSupport)
{
    CollectingReporter reporter;
    CPluginSet plugins(reporter);
    ASSERT_TRUE(plugins.Load(Path(L"FakePlugin.dll")));
    ASSERT_EQ(3u, plugins.GetPageCount());
    EXPECT_STREQ(L"Fake page A", plugins.GetPage(0).title);
    EXPECT_STREQ(L"The first fake page.", plugins.GetPage(0).description);
    EXPECT_STREQ(L"Fake page B", plugins.GetPage(1).title);
    EXPECT_STREQ(L"fake-c", plugins.GetPage(2).page->GetIdentity());
    EXPECT_EQ(9u, plugins.GetPage(0).page->GetCategory());
    plugins.CheckSupport();
    EXPECT_EQ(3, log_->supportQuestions);
    EXPECT_TRUE(plugins.GetPage(0).supported);
    EXPECT_FALSE(plugins.GetPage(1).supported);
    EXPECT_TRUE(plugins.GetPage(2).supported);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(FakePluginHostTest, BrokenPluginsAreReportedAndTheOthersStillLoad)
{
    CollectingReporter reporter;
    CPluginSet plugins(reporter);
    EXPECT_FALSE(plugins.Load(Path(L"NoSuchPlugin.dll")));
    EXPECT_FALSE(plugins.Load(Path(L"FakePluginNoExport.dll")));
    // Its global_newClassDesc raises std::bad_alloc from the plug-in's own runtime.
    EXPECT_FALSE(plugins.Load(Path(L"FakePluginThrows.dll")));
    // A library that is no plug-in at all.
    EXPECT_FALSE(plugins.Load(Path(L"VexaUtils.dll")));
    EXPECT_TRUE(plugins.Load(Path(L"FakePlugin.dll")));

    ASSERT_EQ(4u, reporter.messages.size());
    EXPECT_TRUE(reporter.Mentions(L"NoSuchPlugin.dll", L"could not be loaded"));
    EXPECT_TRUE(reporter.Mentions(L"FakePluginNoExport.dll", L"does not export global_newClassDesc"));
    EXPECT_TRUE(reporter.Mentions(L"FakePluginThrows.dll", L"ran out of memory"));
    EXPECT_TRUE(reporter.Mentions(L"VexaUtils.dll", L"does not export global_newClassDesc"));
    EXPECT_EQ(3u, plugins.GetPageCount());
}

TEST_F(FakePluginHostTest, WindowShowsSupportedPagesAndRoutesTheirMessages)
{
    CollectingReporter reporter;
    {
        CPluginSet plugins(reporter);
        ASSERT_TRUE(plugins.Load(Path(L"FakePlugin.dll")));
        plugins.CheckSupport();
        CHostWindow host(plugins, reporter);
        HWND window = host.Create();
        ASSERT_NE(nullptr, window);

        // Page C is supported but has no dialog template: reported, not shown.
        EXPECT_TRUE(reporter.Mentions(L"Fake page C", L"no dialog template 299"));
        ASSERT_EQ(1u, host.GetShownPageCount());
        EXPECT_STREQ(L"Fake page A", host.GetShownPage(0).title);
        EXPECT_EQ(1, SendMessageW(GetDlgItem(window, IDC_HOST_PAGE_LIST), LB_GETCOUNT, 0, 0));
        EXPECT_EQ(0u, host.GetCurrentPage());
        EXPECT_EQ(1, log_->initPageCalls);

        HWND page = host.GetPageWindow(0);
        ASSERT_NE(nullptr, page);
        EXPECT_EQ(window, GetParent(page));
        EXPECT_TRUE(IsWindowVisible(page) || !IsWindowVisible(window));
        wchar_t description[128] = {};
        GetDlgItemTextW(window, IDC_HOST_PAGE_DESCRIPTION, description, 128);
        EXPECT_STREQ(L"The first fake page.", description);

        // Positions the page asked for, scaled to the screen.
        RECT label;
        GetWindowRect(GetDlgItem(page, IDC_FAKE_LABEL), &label);
        MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&label), 2);
        EXPECT_EQ(PlenkitScale(10, false), label.left);
        EXPECT_EQ(PlenkitScale(20, true), label.top);
        EXPECT_EQ(PlenkitScale(200, false), label.right - label.left);

        // Items are bound, the list was filled, the option was started and shown.
        EXPECT_EQ(1, log_->fillListCalls);
        EXPECT_EQ(1, SendMessageW(GetDlgItem(page, IDC_FAKE_LIST), LVM_GETITEMCOUNT, 0, 0));
        EXPECT_EQ(1, log_->setStartCalls);
        EXPECT_EQ(1, log_->hookAShown);
        EXPECT_GT(log_->pageProcCalls, 0);

        // A click on the second radio button reaches the option as index 1.
        ShowWindow(window, SW_SHOW);
        SendMessageW(GetDlgItem(page, IDC_FAKE_RADIO_2), BM_CLICK, 0, 0);
        Pump();
        EXPECT_GE(log_->commandMessages, 1);
        EXPECT_EQ(1, log_->settingChanges);
        EXPECT_EQ(1, log_->applyCalls);
        EXPECT_EQ(VT_I4, log_->lastAppliedType);
        EXPECT_EQ(1, log_->lastAppliedValue);
        EXPECT_EQ(BST_CHECKED, SendMessageW(GetDlgItem(page, IDC_FAKE_RADIO_2), BM_GETCHECK, 0, 0));

        SendMessageW(GetDlgItem(page, IDC_FAKE_RADIO_3), BM_CLICK, 0, 0);
        Pump();
        EXPECT_EQ(2, log_->applyCalls);
        EXPECT_EQ(2, log_->lastAppliedValue);

        // The close button ends the window without ending the test's message loop.
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_HOST_CLOSE, BN_CLICKED), 0);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_EQ(nullptr, host.GetWindow());
        EXPECT_EQ(1, log_->hookAHidden);
    }
    // The host deleted every page it was given, with their items and options.
    EXPECT_EQ(3, log_->pagesDeleted);
    EXPECT_EQ(2, log_->itemsDeleted);
    EXPECT_EQ(1, log_->optionsDeleted);
    EXPECT_EQ(1, log_->hookBCalls);
}

TEST_F(FakePluginHostTest, NoSupportedPageSaysSo)
{
    CollectingReporter reporter;
    CPluginSet plugins(reporter);
    ASSERT_TRUE(plugins.Load(Path(L"FakePlugin.dll")));
    // Not asked: no page counts as supported.
    CHostWindow host(plugins, reporter);
    HWND window = host.Create();
    ASSERT_NE(nullptr, window);
    EXPECT_EQ(0u, host.GetShownPageCount());
    EXPECT_EQ(0, log_->initPageCalls);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(window, IDC_HOST_NO_PAGES)) || !IsWindowVisible(window));
    EXPECT_EQ(WS_VISIBLE, GetWindowLongW(GetDlgItem(window, IDC_HOST_NO_PAGES), GWL_STYLE) & WS_VISIBLE);
}
