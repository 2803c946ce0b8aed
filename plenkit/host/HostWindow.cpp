#include "HostWindow.h"
#include <commctrl.h>

namespace {

// Host layout in 96-DPI pixels; the page area is as big as a page lays itself out.
constexpr UINT margin = 10;
constexpr UINT listWidth = 170;
constexpr UINT pageWidth = 480;
constexpr UINT pageHeight = 335;
constexpr UINT buttonWidth = 80;
constexpr UINT buttonHeight = 24;
constexpr UINT descriptionHeight = 80;

}  // namespace

ATOM CHostWindow::RegisterHostClass()
{
    static ATOM atom = [] {
        WNDCLASSEXW wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &CHostWindow::MainProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
        wc.lpszClassName = CHostWindow::WindowClassName();
        return RegisterClassExW(&wc);
    }();
    return atom;
}

namespace {

HWND MakeChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id, HFONT font,
               DWORD exStyle = 0)
{
    HWND child = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                 nullptr);
    if (child != nullptr && font != nullptr)
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

int S(UINT value, bool vertical = false)
{
    return PlenkitScale(value, vertical);
}

}  // namespace

CHostWindow::CHostWindow(CPluginSet& plugins, IHostReporter& reporter) : plugins_(plugins), reporter_(reporter)
{
}

CHostWindow::~CHostWindow()
{
    Destroy();
}

void CHostWindow::Destroy()
{
    if (current_ < sites_.size())
        TellOptions(*sites_[current_], false);
    current_ = static_cast<size_t>(-1);
    if (window_ != nullptr) {
        HWND window = window_;
        window_ = nullptr;
        DestroyWindow(window);  // takes the page dialogs with it
        if (quitOnClose_)
            PostQuitMessage(0);
    }
    sites_.clear();
}

HWND CHostWindow::Create(size_t initialPage, bool quitOnClose)
{
    quitOnClose_ = quitOnClose;
    if (RegisterHostClass() == 0)
        return nullptr;

    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        font_.reset(CreateFontIndirectW(&metrics.lfMessageFont));

    RECT frame = {0, 0, S(margin + listWidth + margin + pageWidth + margin),
                  S(margin + pageHeight + margin + buttonHeight + margin, true)};
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    AdjustWindowRectEx(&frame, style, FALSE, WS_EX_CONTROLPARENT);
    window_ = CreateWindowExW(WS_EX_CONTROLPARENT, WindowClassName(), L"Corvane Settings", style, CW_USEDEFAULT,
                              CW_USEDEFAULT, frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                              GetModuleHandleW(nullptr), this);
    if (window_ == nullptr)
        return nullptr;

    HFONT font = font_.get();
    pageList_ = MakeChild(window_, L"LISTBOX", L"", LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP | WS_GROUP,
                          IDC_HOST_PAGE_LIST, font, WS_EX_CLIENTEDGE);
    description_ = MakeChild(window_, L"STATIC", L"", SS_LEFT, IDC_HOST_PAGE_DESCRIPTION, font);
    noPages_ = MakeChild(window_, L"STATIC", L"No settings pages are available on this computer.", SS_LEFT,
                         IDC_HOST_NO_PAGES, font);
    MakeChild(window_, L"BUTTON", L"Close", BS_PUSHBUTTON | WS_TABSTOP | WS_GROUP, IDC_HOST_CLOSE, font);

    for (size_t i = 0; i < plugins_.GetPageCount(); ++i) {
        HostPage& entry = plugins_.GetPage(i);
        if (entry.supported)
            (void)CreatePage(entry);
    }
    Layout();
    ShowWindow(noPages_, sites_.empty() ? SW_SHOW : SW_HIDE);
    if (!sites_.empty())
        ShowPage(initialPage < sites_.size() ? initialPage : 0);
    return window_;
}

bool CHostWindow::CreatePage(HostPage& entry)
{
    auto site = std::make_unique<Site>();
    site->host = this;
    site->entry = &entry;
    PluginClass& page = *entry.page;

    // The dialog proc finds its site from the first message on.
    site->window = CreateDialogParamW(entry.language, MAKEINTRESOURCEW(page.GetDialogId()), window_,
                                      &CHostWindow::PageDialogProc, reinterpret_cast<LPARAM>(site.get()));
    if (site->window == nullptr) {
        CString text;
        text.Format(L"The page \"%s\" of \"%s\" has no dialog template %u in its language resource; it is not shown.",
                    entry.title.GetString(), entry.pluginPath.GetString(), page.GetDialogId());
        reporter_.Report(text);
        return false;
    }
    ShowWindow(site->window, SW_HIDE);
    page.AttachWindow(site->window);
    try {
        (void)page.InitPage();
        InitItems(*site);
    } catch (...) {
        ReportPageFailure(*site, L"could not be set up");
        DestroyWindow(site->window);
        return false;
    }
    SendMessageW(pageList_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.title.GetString()));
    sites_.push_back(std::move(site));
    return true;
}

void CHostWindow::InitItems(Site& site)
{
    PluginClass& page = *site.entry->page;
    for (INT_PTR i = 0; i < page.GetItemCount(); ++i) {
        SettingItem* item = page.GetItemAt(i);
        item->Attach(site.window);
        (void)item->InitType();
        (void)item->OnInitItem();
        if (item->IsListBox())
            (void)static_cast<CListBoxItem*>(item)->FillList();
    }
}

void CHostWindow::TellOptions(Site& site, bool shown)
{
    PluginClass& page = *site.entry->page;
    for (INT_PTR i = 0; i < page.GetItemCount(); ++i) {
        if (SettingOption* option = page.GetItemAt(i)->GetOption())
            (void)option->OptionHookA(shown ? TRUE : FALSE);
    }
}

void CHostWindow::ShowPage(size_t index)
{
    if (index >= sites_.size() || index == current_)
        return;
    if (current_ < sites_.size()) {
        ShowWindow(sites_[current_]->window, SW_HIDE);
        TellOptions(*sites_[current_], false);
    }
    current_ = index;
    Site& site = *sites_[index];
    SetWindowTextW(description_, site.entry->description);
    SendMessageW(pageList_, LB_SETCURSEL, index, 0);
    ShowWindow(site.window, SW_SHOW);
    TellOptions(site, true);
}

void CHostWindow::Layout()
{
    const int pageX = S(margin + listWidth + margin);
    const int listHeight = S(pageHeight - descriptionHeight - margin, true);
    MoveWindow(pageList_, S(margin), S(margin, true), S(listWidth), listHeight, FALSE);
    MoveWindow(description_, S(margin), S(margin, true) + listHeight + S(margin, true), S(listWidth),
               S(descriptionHeight, true), FALSE);
    MoveWindow(noPages_, pageX, S(margin, true), S(pageWidth), S(40, true), FALSE);
    MoveWindow(GetDlgItem(window_, IDC_HOST_CLOSE), pageX + S(pageWidth - buttonWidth),
               S(margin + pageHeight + margin, true), S(buttonWidth), S(buttonHeight, true), FALSE);
    for (auto& site : sites_)
        MoveWindow(site->window, pageX, S(margin, true), S(pageWidth), S(pageHeight, true), FALSE);
}

void CHostWindow::ReportPageFailure(const Site& site, const wchar_t* what)
{
    reporter_.Report(L"The page \"" + site.entry->title + L"\" of \"" + site.entry->pluginPath + L"\" " + what +
                     L".");
}

LRESULT CHostWindow::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_HOST_PAGE_LIST && HIWORD(wParam) == LBN_SELCHANGE) {
            const LRESULT selected = SendMessageW(pageList_, LB_GETCURSEL, 0, 0);
            if (selected >= 0)
                ShowPage(static_cast<size_t>(selected));
            return 0;
        }
        if (LOWORD(wParam) == IDC_HOST_CLOSE) {
            SendMessageW(window_, WM_CLOSE, 0, 0);
            return 0;
        }
        break;
    case WM_NEXTDLGCTL: {
        // IsDialogMessage asks this of the window it handles keys for when a
        // page's label mnemonic is pressed; a dialog's own procedure would answer.
        HWND next = LOWORD(lParam) ? reinterpret_cast<HWND>(wParam)
                                   : GetNextDlgTabItem(window_, GetFocus(), wParam != 0);
        if (next != nullptr)
            SetFocus(next);
        return 0;
    }
    case WM_CLOSE:
        Destroy();
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window_, msg, wParam, lParam);
}

LRESULT CALLBACK CHostWindow::MainProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* host = static_cast<CHostWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        host->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(host));
    }
    auto* host = reinterpret_cast<CHostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (host == nullptr || host->window_ != window)
        return DefWindowProcW(window, msg, wParam, lParam);
    return host->OnMessage(msg, wParam, lParam);
}

INT_PTR CALLBACK CHostWindow::PageDialogProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_INITDIALOG)
        SetWindowLongPtrW(window, DWLP_USER, lParam);
    auto* site = reinterpret_cast<Site*>(GetWindowLongPtrW(window, DWLP_USER));
    if (site == nullptr)
        return FALSE;
    PluginClass& page = *site->entry->page;
    // Nothing may unwind through the window manager.
    try {
        (void)page.PageProc(msg, wParam, lParam);
        if (msg == WM_COMMAND && lParam != 0) {
            const int id = LOWORD(wParam);
            if (SettingItem* item = page.FindItem(id))
                return item->OnCommand(static_cast<UINT>(id), HIWORD(wParam)) != 0;
        } else if (msg == WM_NOTIFY && lParam != 0) {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (SettingItem* item = page.FindItem(static_cast<int>(header->idFrom))) {
                const LRESULT result = item->DefWindowProcW(msg, wParam, lParam);
                if (result != 0) {
                    SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
                    return TRUE;
                }
            }
        }
    } catch (...) {
        site->host->ReportPageFailure(*site, L"failed while it handled a message");
    }
    return FALSE;
}
