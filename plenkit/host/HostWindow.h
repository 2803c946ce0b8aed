#pragma once
// The host's window: the list of supported pages on the left, the chosen
// page on the right. Each page's dialog comes from its plug-in's language
// resource; the window routes the page's messages to the page and its items.
#include <memory>
#include <vector>
#include "Handles.h"
#include "PluginSet.h"

// Control ids of the host window.
enum HostControl : int
{
    IDC_HOST_PAGE_LIST = 4001,
    IDC_HOST_PAGE_DESCRIPTION = 4002,
    IDC_HOST_NO_PAGES = 4003,
    IDC_HOST_CLOSE = IDCANCEL,
};

class CHostWindow
{
public:
    CHostWindow(CPluginSet& plugins, IHostReporter& reporter);
    ~CHostWindow();
    CHostWindow(const CHostWindow&) = delete;
    CHostWindow& operator=(const CHostWindow&) = delete;

    // Creates the window and every supported page's dialog, initialises the
    // pages and shows page `initialPage` (an index into the shown pages).
    // Pages must have been asked CheckSupport before. Null when the window
    // itself cannot be made.
    HWND Create(size_t initialPage = 0, bool quitOnClose = false);
    HWND GetWindow() const noexcept { return window_; }

    size_t GetShownPageCount() const noexcept { return sites_.size(); }
    HostPage& GetShownPage(size_t index) { return *sites_.at(index)->entry; }
    HWND GetPageWindow(size_t index) const { return sites_.at(index)->window; }
    void ShowPage(size_t index);
    size_t GetCurrentPage() const noexcept { return current_; }

    static const wchar_t* WindowClassName() noexcept { return L"PlenkitHostWindow"; }

private:
    struct Site
    {
        CHostWindow* host = nullptr;
        HostPage* entry = nullptr;
        HWND window = nullptr;
    };

    bool CreatePage(HostPage& entry);
    void InitItems(Site& site);
    void TellOptions(Site& site, bool shown);
    void Layout();
    void Destroy();
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    void ReportPageFailure(const Site& site, const wchar_t* what);

    static ATOM RegisterHostClass();
    static LRESULT CALLBACK MainProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK PageDialogProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

    CPluginSet& plugins_;
    IHostReporter& reporter_;
    HWND window_ = nullptr;
    HWND pageList_ = nullptr;
    HWND description_ = nullptr;
    HWND noPages_ = nullptr;
    unique_gdi<HFONT> font_;
    std::vector<std::unique_ptr<Site>> sites_;
    size_t current_ = static_cast<size_t>(-1);
    bool quitOnClose_ = false;
};
