// The pages' message hook on a real list view: rows never stay selected.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "LampBrightnessPage.h"
#include "LogoLampPage.h"
#include "PageIdentity.h"

namespace {

PluginClass* hookedPage = nullptr;
int notifications = 0;

LRESULT CALLBACK ParentProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NOTIFY && hookedPage != nullptr) {
        ++notifications;
        EXPECT_EQ(0, hookedPage->PageProc(msg, wParam, lParam));
    }
    return DefWindowProcW(window, msg, wParam, lParam);
}

class ListOnPage
{
public:
    explicit ListOnPage(PluginClass* page)
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        static const ATOM atom = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = &ParentProc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"PerylPageProcTest";
            return RegisterClassW(&wc);
        }();
        (void)atom;
        parent_ = CreateWindowExW(0, L"PerylPageProcTest", L"", WS_POPUP | WS_VISIBLE, 0, 0, 500, 200, nullptr,
                                  nullptr, nullptr, nullptr);
        list_ = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0,
                                480, 150, parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(1008)), nullptr,
                                nullptr);
        LVCOLUMNW column = {};
        column.mask = LVCF_WIDTH;
        column.cx = 450;
        SendMessageW(list_, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
        for (int i = 0; i < 3; ++i) {
            wchar_t text[] = L"row";
            LVITEMW item = {};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.pszText = text;
            SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        hookedPage = page;
        notifications = 0;
    }
    ~ListOnPage()
    {
        hookedPage = nullptr;
        DestroyWindow(parent_);
    }

    HWND list() const { return list_; }
    int Selected() const { return static_cast<int>(SendMessageW(list_, LVM_GETSELECTEDCOUNT, 0, 0)); }
    void Select(int row)
    {
        LVITEMW state = {};
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    }
    void Click(int row)
    {
        RECT rect = {};
        rect.left = LVIR_LABEL;
        SendMessageW(list_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
        const LPARAM at = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        PostMessageW(list_, WM_LBUTTONUP, 0, at);  // waiting when the list looks for a drag
        SendMessageW(list_, WM_LBUTTONDOWN, MK_LBUTTON, at);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }

private:
    HWND parent_;
    HWND list_;
};

}  // namespace

TEST(PageProc, ClickedOrSelectedRowsDoNotStaySelectedOnEitherPage)
{
    CLogoLampCtrlClass logo(logoLampPageIdentity);
    CLampBrightnessCtrlClass brightness(lampBrightnessPageIdentity);
    for (PluginClass* page : {static_cast<PluginClass*>(&logo), static_cast<PluginClass*>(&brightness)}) {
        ListOnPage window(page);
        window.Click(1);
        EXPECT_GT(notifications, 0);
        EXPECT_EQ(0, window.Selected());
        window.Select(2);
        EXPECT_EQ(0, window.Selected());
        window.Select(0);
        EXPECT_EQ(0, window.Selected());
    }
}

TEST(PageProc, OtherMessagesAndCodesAreLeftAlone)
{
    CLogoLampCtrlClass page(logoLampPageIdentity);
    ListOnPage window(nullptr);  // not hooked: the selection stays
    window.Select(1);
    ASSERT_EQ(1, window.Selected());

    NMHDR click = {window.list(), 1008, static_cast<UINT>(NM_CLICK)};
    EXPECT_EQ(0, page.PageProc(WM_NOTIFY, 1008, reinterpret_cast<LPARAM>(&click)));
    EXPECT_EQ(1, window.Selected());
    NMHDR changed = {window.list(), 1008, static_cast<UINT>(LVN_ITEMCHANGED)};
    EXPECT_EQ(0, page.PageProc(WM_COMMAND, 1008, reinterpret_cast<LPARAM>(&changed)));
    EXPECT_EQ(1, window.Selected());
    EXPECT_EQ(0, page.PageProc(WM_NOTIFY, 1008, 0));

    EXPECT_EQ(0, page.PageProc(WM_NOTIFY, 1008, reinterpret_cast<LPARAM>(&changed)));
    EXPECT_EQ(0, window.Selected());
}
