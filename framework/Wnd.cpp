#include "Wnd.h"
#include <memory>
#include <unordered_map>
#include <utility>
#include "DataExchange.h"
#include "WinApp.h"

namespace {

// The object of a subclassed window, and the procedure the window had before.
// The procedure is kept in the window as well, so that a window we could not
// give its procedure back (someone subclassed it after us) still works.
const wchar_t objectProperty[] = L"framework.CWnd";
const wchar_t superProperty[] = L"framework.CWnd.super";

// Temporary wrappers of windows without an object, per thread.
class TemporaryWindows
{
public:
    CWnd* Get(HWND hwnd)
    {
        auto found = windows_.find(hwnd);
        if (found != windows_.end()) {
            // A wrapper that destroyed its window let go of it; the handle may name a new one.
            found->second->m_hWnd = hwnd;
            return found->second.get();
        }
        DropDeadWindows();
        auto wrapper = std::make_unique<CWnd>();
        wrapper->m_hWnd = hwnd;
        return windows_.emplace(hwnd, std::move(wrapper)).first->second.get();
    }

private:
    void DropDeadWindows()
    {
        for (auto it = windows_.begin(); it != windows_.end();) {
            if (::IsWindow(it->first))
                ++it;
            else
                it = windows_.erase(it);
        }
    }

    std::unordered_map<HWND, std::unique_ptr<CWnd>> windows_;
};

TemporaryWindows& ThreadTemporaries()
{
    thread_local TemporaryWindows temporaries;
    return temporaries;
}

std::exception_ptr& PendingException()
{
    thread_local std::exception_ptr pending;
    return pending;
}

}  // namespace

void KeepPendingException(std::exception_ptr error) noexcept
{
    std::exception_ptr& pending = PendingException();
    if (!pending) {
        pending = std::move(error);
        // Wakes a loop that waits in GetMessage so it sees the exception.
        (void)::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
    }
}

void CWnd::RethrowPendingException()
{
    std::exception_ptr pending = std::exchange(PendingException(), nullptr);
    if (pending)
        std::rethrow_exception(pending);
}

bool CWnd::HasPendingException()
{
    return static_cast<bool>(PendingException());
}

LRESULT CALLBACK FrameworkWindowProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* window = CWnd::FromHandlePermanent(hwnd);
    if (window == nullptr) {
        auto super = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, superProperty));
        return super != nullptr ? ::CallWindowProcW(super, hwnd, message, wParam, lParam)
                                : ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    const CWnd::CurrentMessage outer = window->current_;
    window->current_ = CWnd::CurrentMessage{message, wParam, lParam, true};
    LRESULT result = 0;
    try {
        result = window->WindowProc(message, wParam, lParam);
    } catch (...) {
        KeepPendingException(std::current_exception());
    }
    if (message == WM_NCDESTROY) {
        window->Detach();
        if (CWinApp* app = AfxGetApp())
            app->NoteWindowDestroyed(window);
        window->PostNcDestroy();
    } else if (window->m_hWnd == hwnd) {
        window->current_ = outer;
    }
    return result;
}

CWnd::~CWnd()
{
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) {
        if (destroyWithObject_)
            ::DestroyWindow(m_hWnd);  // WM_NCDESTROY lets go of the window
        if (m_hWnd != nullptr)
            UnsubclassWindow();
    }
}

CWnd* CWnd::FromHandle(HWND hwnd)
{
    if (hwnd == nullptr)
        return nullptr;
    if (CWnd* permanent = FromHandlePermanent(hwnd))
        return permanent;
    return ThreadTemporaries().Get(hwnd);
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    if (hwnd == nullptr)
        return nullptr;
    return static_cast<CWnd*>(::GetPropW(hwnd, objectProperty));
}

BOOL CWnd::SubclassWindow(HWND hwnd)
{
    if (m_hWnd != nullptr || !::IsWindow(hwnd) || FromHandlePermanent(hwnd) != nullptr)
        return FALSE;
    if (!::SetPropW(hwnd, objectProperty, this))
        return FALSE;
    m_hWnd = hwnd;
    auto super = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FrameworkWindowProcedure)));
    if (super == nullptr) {
        // The window belongs to another process or refuses a new procedure.
        ::RemovePropW(hwnd, objectProperty);
        m_hWnd = nullptr;
        return FALSE;
    }
    superProc_ = super;
    ::SetPropW(hwnd, superProperty, reinterpret_cast<HANDLE>(super));
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    if (parent == nullptr)
        return FALSE;
    return SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow()
{
    HWND hwnd = m_hWnd;
    if (hwnd == nullptr || FromHandlePermanent(hwnd) != this)
        return nullptr;
    const auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    const bool ours = current == &FrameworkWindowProcedure;
    if (ours)
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(superProc_));
    ::RemovePropW(hwnd, objectProperty);
    if (ours)
        ::RemovePropW(hwnd, superProperty);
    m_hWnd = nullptr;
    superProc_ = nullptr;
    return hwnd;
}

void CWnd::Detach()
{
    ::RemovePropW(m_hWnd, objectProperty);
    ::RemovePropW(m_hWnd, superProperty);
    m_hWnd = nullptr;
    superProc_ = nullptr;
    current_ = CurrentMessage{};
}

BOOL CWnd::DestroyWindow()
{
    HWND hwnd = m_hWnd;
    if (hwnd == nullptr)
        return FALSE;
    const BOOL destroyed = ::DestroyWindow(hwnd);
    if (destroyed && m_hWnd == hwnd)
        m_hWnd = nullptr;  // a wrapper we did not subclass
    return destroyed;
}

CWnd* CWnd::GetDlgItem(int id) const
{
    return FromHandle(::GetDlgItem(m_hWnd, id));
}

CWnd* CWnd::GetParent() const
{
    return FromHandle(::GetParent(m_hWnd));
}

CWnd* CWnd::GetNextDlgTabItem(CWnd* control, BOOL previous) const
{
    return FromHandle(::GetNextDlgTabItem(m_hWnd, control != nullptr ? control->m_hWnd : nullptr, previous));
}

void CWnd::MoveWindow(int x, int y, int width, int height, BOOL repaint)
{
    ::MoveWindow(m_hWnd, x, y, width, height, repaint);
}

void CWnd::MoveWindow(const RECT& rect, BOOL repaint)
{
    ::MoveWindow(m_hWnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
}

BOOL CWnd::SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags)
{
    return ::SetWindowPos(m_hWnd, insertAfter != nullptr ? insertAfter->m_hWnd : nullptr, x, y, cx, cy, flags);
}

void GetWindowTextOf(HWND hwnd, CString& text)
{
    const int length = ::GetWindowTextLengthW(hwnd);
    wchar_t* buffer = text.GetBuffer(length);
    const int copied = length > 0 ? ::GetWindowTextW(hwnd, buffer, length + 1) : 0;
    text.ReleaseBuffer(copied);
}

void CWnd::GetWindowText(CString& text) const
{
    GetWindowTextOf(m_hWnd, text);
}

CString CWnd::GetWindowText() const
{
    CString text;
    GetWindowText(text);
    return text;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = ::SendMessageW(m_hWnd, message, wParam, lParam);
    RethrowPendingException();
    return result;
}

LRESULT CWnd::SendDlgItemMessage(int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = ::SendDlgItemMessageW(m_hWnd, id, message, wParam, lParam);
    RethrowPendingException();
    return result;
}

CWnd* CWnd::SetFocus()
{
    return FromHandle(::SetFocus(m_hWnd));
}

CWnd* CWnd::GetFocus()
{
    return FromHandle(::GetFocus());
}

void CWnd::ScreenToClient(RECT* rect) const
{
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(rect), 2);
}

BOOL CWnd::GetWindowPlacement(WINDOWPLACEMENT* placement) const
{
    placement->length = sizeof(WINDOWPLACEMENT);
    return ::GetWindowPlacement(m_hWnd, placement);
}

HICON CWnd::SetIcon(HICON icon, BOOL big)
{
    return reinterpret_cast<HICON>(
        ::SendMessageW(m_hWnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

BOOL CWnd::UpdateData(BOOL saveAndValidate)
{
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(&exchange);
    return TRUE;
}

void CWnd::DoDataExchange(CDataExchange*)
{
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The window's own clean-up must always run, so WM_NCDESTROY is not looked up.
    LRESULT result = 0;
    if (message != WM_NCDESTROY && OnWndMsg(message, wParam, lParam, &result))
        return result;
    return DefWindowProc(message, wParam, lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)
{
    const MessageMapEntry* entry = FindMessageEntry(message, wParam, lParam);
    if (entry == nullptr)
        return FALSE;
    *result = entry->thunk(*this, message, wParam, lParam);
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (superProc_ != nullptr)
        return ::CallWindowProcW(superProc_, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    if (!current_.valid)
        return 0;
    return DefWindowProc(current_.message, current_.wParam, current_.lParam);
}

HBRUSH CWnd::OnCtlColor(HDC, CWnd*, UINT)
{
    return reinterpret_cast<HBRUSH>(Default());
}
