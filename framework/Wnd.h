#pragma once
// A window as a C++ object. A window we subclass keeps `this` in a window
// property and its messages go to the one virtual WindowProc, which looks them
// up in the message maps and passes the rest to the window's own procedure.
//
// FromHandle also wraps windows we did not subclass: such a temporary wrapper
// belongs to the thread and lives as long as its window (wrappers of windows
// that are gone are freed when the next one is made, and all at thread end), so
// the same window always yields the same pointer.
//
// A C++ exception thrown by a handler is not let through the system's window
// procedure: it is kept and raised again by the framework's message loops, by
// CDialog::DoModal / Create and by CWnd::SendMessage on the same thread.
#include <windows.h>
#include <exception>
#include "CString.h"
#include "CmdTarget.h"

class CDataExchange;

class CWnd : public CCmdTarget
{
public:
    CWnd() = default;
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const noexcept { return m_hWnd; }
    operator HWND() const noexcept { return m_hWnd; }

    // The object of a window: the subclassing one, else a temporary wrapper; null for null.
    static CWnd* FromHandle(HWND hwnd);
    // Only the subclassing object; null when the window has none.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Routes an existing window's messages to this object. FALSE when this object
    // already has a window or the window already has an object.
    BOOL SubclassWindow(HWND hwnd);
    BOOL SubclassDlgItem(UINT id, CWnd* parent);
    // Gives the window its own procedure back; answers the window.
    HWND UnsubclassWindow();

    BOOL IsWindow() const { return ::IsWindow(m_hWnd); }
    BOOL DestroyWindow();

    CWnd* GetDlgItem(int id) const;
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    CWnd* GetParent() const;
    CWnd* GetNextDlgTabItem(CWnd* control, BOOL previous = FALSE) const;

    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL ShowWindow(int command) { return ::ShowWindow(m_hWnd, command); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);
    void MoveWindow(const RECT& rect, BOOL repaint = TRUE);
    BOOL SetWindowPos(const CWnd* insertAfter, int x, int y, int cx, int cy, UINT flags);
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }

    void SetWindowText(const wchar_t* text) { ::SetWindowTextW(m_hWnd, text); }
    void GetWindowText(CString& text) const;
    CString GetWindowText() const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthW(m_hWnd); }
    void SetDlgItemText(int id, const wchar_t* text) { ::SetDlgItemTextW(m_hWnd, id, text); }

    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void InvalidateRect(const RECT* rect, BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, rect, erase); }
    void UpdateWindow() { ::UpdateWindow(m_hWnd); }

    // Raises, on this thread, an exception that a handler threw meanwhile.
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::PostMessageW(m_hWnd, message, wParam, lParam);
    }
    LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    CWnd* SetFocus();
    static CWnd* GetFocus();

    void GetClientRect(RECT* rect) const { ::GetClientRect(m_hWnd, rect); }
    void GetWindowRect(RECT* rect) const { ::GetWindowRect(m_hWnd, rect); }
    void ScreenToClient(RECT* rect) const;
    BOOL GetWindowPlacement(WINDOWPLACEMENT* placement) const;
    HICON SetIcon(HICON icon, BOOL big);

    // Data exchange between the controls and the members bound to them.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // Every message of the window arrives here.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Raises a handler's exception kept on this thread, if there is one.
    static void RethrowPendingException();
    static bool HasPendingException();

protected:
    virtual void DoDataExchange(CDataExchange* dx);

    // Looks the message up in the maps; FALSE when it goes to default processing.
    virtual BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    // The window's own procedure (the one it had before we subclassed it).
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of the message being handled.
    LRESULT Default();
    // For handlers that take only part of a control-colour message: the default brush.
    HBRUSH OnCtlColor(HDC dc, CWnd* control, UINT kind);

    // The window is gone (after WM_NCDESTROY); the object no longer has it.
    virtual void PostNcDestroy() {}

    // Set by classes that create their window: the object then destroys it when
    // it goes. A window that was only subclassed is given back instead.
    bool destroyWithObject_ = false;

private:
    friend LRESULT CALLBACK FrameworkWindowProcedure(HWND, UINT, WPARAM, LPARAM);

    struct CurrentMessage
    {
        UINT message = 0;
        WPARAM wParam = 0;
        LPARAM lParam = 0;
        bool valid = false;
    };

    void Detach();

    WNDPROC superProc_ = nullptr;
    CurrentMessage current_;
};

// The text of any window, as long as it is.
void GetWindowTextOf(HWND hwnd, CString& text);

// Keeps a handler's exception for the framework's loops to raise again.
void KeepPendingException(std::exception_ptr error) noexcept;
