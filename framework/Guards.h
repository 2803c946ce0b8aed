#pragma once
// Scope guards for calls that come in pairs: each undoes its call exactly once
// when it goes, also while an exception passes. They neither copy nor move, so
// the undoing stays in the scope that did the call.
#include <windows.h>
#include <objbase.h>

// GetDC / ReleaseDC. A null window is the screen.
class window_dc
{
public:
    explicit window_dc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {}
    ~window_dc()
    {
        if (dc_ != nullptr)
            (void)::ReleaseDC(window_, dc_);
    }
    window_dc(const window_dc&) = delete;
    window_dc& operator=(const window_dc&) = delete;

    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    HDC dc_;
};

// BeginPaint / EndPaint, for a WM_PAINT handler.
class paint_dc
{
public:
    explicit paint_dc(HWND window) noexcept : window_(window), paint_{}, dc_(::BeginPaint(window, &paint_)) {}
    // EndPaint even when BeginPaint gave no DC: it only shows the caret again.
    ~paint_dc() { (void)::EndPaint(window_, &paint_); }
    paint_dc(const paint_dc&) = delete;
    paint_dc& operator=(const paint_dc&) = delete;

    HDC get() const noexcept { return dc_; }
    const PAINTSTRUCT& paint() const noexcept { return paint_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

private:
    HWND window_;
    PAINTSTRUCT paint_;
    HDC dc_;
};

// SelectObject into a DC; the object it displaced goes back in at the end, so
// the caller may delete its own object afterwards.
class selected_object
{
public:
    selected_object(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~selected_object()
    {
        if (ok())
            (void)::SelectObject(dc_, previous_);
    }
    selected_object(const selected_object&) = delete;
    selected_object& operator=(const selected_object&) = delete;

    // False when the object could not be selected (then nothing is put back).
    bool ok() const noexcept { return previous_ != nullptr && previous_ != HGDI_ERROR; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// CoInitializeEx / CoUninitialize on the calling thread. Only a successful
// initialisation (S_OK or S_FALSE) is undone; RPC_E_CHANGED_MODE leaves the
// thread's apartment as it was.
class com_initialization
{
public:
    explicit com_initialization(DWORD model) noexcept : result_(::CoInitializeEx(nullptr, model)) {}
    ~com_initialization()
    {
        if (SUCCEEDED(result_))
            ::CoUninitialize();
    }
    com_initialization(const com_initialization&) = delete;
    com_initialization& operator=(const com_initialization&) = delete;

    HRESULT result() const noexcept { return result_; }

private:
    HRESULT result_;
};

// The thread's error mode for a scope; the mode it had comes back at the end.
// A change the system refused leaves nothing to put back.
class thread_error_mode
{
public:
    explicit thread_error_mode(DWORD mode) noexcept : changed_(::SetThreadErrorMode(mode, &previous_) != FALSE) {}
    ~thread_error_mode()
    {
        if (changed_)
            (void)::SetThreadErrorMode(previous_, nullptr);
    }
    thread_error_mode(const thread_error_mode&) = delete;
    thread_error_mode& operator=(const thread_error_mode&) = delete;

    bool ok() const noexcept { return changed_; }

private:
    DWORD previous_ = 0;  // written by the call that sets changed_, so declared first
    bool changed_;
};

// A module that will not load or a drive without its medium fails the call
// instead of showing the user a system error box.
constexpr DWORD noErrorBoxes = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
