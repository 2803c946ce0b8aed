#include "DialogWatch.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <string>

namespace {

const UINT runOnShown = WM_APP + 1;

struct ThreadHooks
{
    std::vector<DialogWatch*> watches;
    HHOOK cbt = nullptr;
    HHOOK calls = nullptr;
};

ThreadHooks& Hooks()
{
    thread_local ThreadHooks hooks;
    return hooks;
}

bool IsTopLevelDialog(HWND window)
{
    wchar_t className[16] = L"";
    ::GetClassNameW(window, className, ARRAYSIZE(className));
    return lstrcmpW(className, L"#32770") == 0 && (::GetWindowLongW(window, GWL_STYLE) & WS_CHILD) == 0;
}

std::wstring TextOf(HWND window)
{
    if (window == nullptr)
        return std::wstring();
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string Narrow(const std::wstring& text)
{
    std::string narrow;
    for (wchar_t c : text)
        narrow += c < 0x80 ? static_cast<char>(c) : '?';
    return narrow;
}

const wchar_t* NotesClass()
{
    static const ATOM atom = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = ::DefWindowProcW;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"DialogWatchNotes";
        return ::RegisterClassW(&windowClass);
    }();
    return MAKEINTATOM(atom);
}

}  // namespace

DialogWatch::DialogWatch(std::function<void(HWND)> onShown, DWORD limitMs)
    : onShown_(std::move(onShown)), limitMs_(limitMs)
{
    notes_ = ::CreateWindowExW(0, NotesClass(), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(notes_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(notes_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DialogWatch::NoteProc));
    ThreadHooks& hooks = Hooks();
    if (hooks.watches.empty()) {
        hooks.cbt = ::SetWindowsHookExW(WH_CBT, &DialogWatch::CbtHook, nullptr, ::GetCurrentThreadId());
        hooks.calls = ::SetWindowsHookExW(WH_CALLWNDPROCRET, &DialogWatch::CallHook, nullptr, ::GetCurrentThreadId());
    }
    if (notes_ == nullptr || hooks.cbt == nullptr || hooks.calls == nullptr)
        ADD_FAILURE() << "DialogWatch: cannot watch this thread's dialog boxes (error " << ::GetLastError() << ")";
    hooks.watches.push_back(this);
}

DialogWatch::~DialogWatch()
{
    ThreadHooks& hooks = Hooks();
    hooks.watches.erase(std::remove(hooks.watches.begin(), hooks.watches.end(), this), hooks.watches.end());
    if (hooks.watches.empty()) {
        if (hooks.cbt != nullptr)
            ::UnhookWindowsHookEx(hooks.cbt);
        if (hooks.calls != nullptr)
            ::UnhookWindowsHookEx(hooks.calls);
        hooks.cbt = hooks.calls = nullptr;
    }
    if (notes_ != nullptr)
        ::DestroyWindow(notes_);  // with its timers and the notes not yet handled
}

std::vector<DialogWatch::Box> DialogWatch::BoxesExcept(HWND except) const
{
    std::vector<Box> others;
    for (const Box& box : boxes_)
        if (box.window != except)
            others.push_back(box);
    return others;
}

LRESULT CALLBACK DialogWatch::CbtHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        const HWND window = reinterpret_cast<HWND>(wParam);
        const auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
        if ((create->lpcs->style & WS_CHILD) == 0 && IsTopLevelDialog(window))
            for (DialogWatch* watch : Hooks().watches)
                watch->Created(window);
    } else if (code == HCBT_DESTROYWND) {
        const HWND window = reinterpret_cast<HWND>(wParam);
        for (DialogWatch* watch : Hooks().watches)
            for (size_t i = 0; i < watch->boxes_.size(); ++i)
                if (watch->boxes_[i].window == window)
                    ::KillTimer(watch->notes_, i + 1);  // gone: no limit to enforce
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK DialogWatch::CallHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const auto* call = reinterpret_cast<CWPRETSTRUCT*>(lParam);
        const bool showing = (call->message == WM_SHOWWINDOW && call->wParam != FALSE) ||
                             (call->message == WM_WINDOWPOSCHANGED &&
                              (reinterpret_cast<const WINDOWPOS*>(call->lParam)->flags & SWP_SHOWWINDOW) != 0);
        if (showing)
            for (DialogWatch* watch : Hooks().watches)
                watch->Shown(call->hwnd);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void DialogWatch::Created(HWND window)
{
    Box box;
    box.window = window;
    boxes_.push_back(box);
}

void DialogWatch::Shown(HWND window)
{
    for (size_t i = boxes_.size(); i-- > 0;) {
        Box& box = boxes_[i];
        if (box.window != window)
            continue;
        if (box.shown)
            return;
        // Its texts are in place: a dialog gets them in WM_INITDIALOG, before it shows.
        box.shown = true;
        box.caption = TextOf(window);
        box.text = TextOf(::GetDlgItem(window, 0xFFFF));
        ::PostMessageW(notes_, runOnShown, i, 0);
        if (limitMs_ != 0)
            ::SetTimer(notes_, i + 1, limitMs_, nullptr);
        return;
    }
}

void DialogWatch::RunOnShown(size_t index)
{
    const HWND window = boxes_[index].window;
    if (!onShown_ || !::IsWindow(window) || !::IsWindowVisible(window))
        return;  // already gone again
    try {
        onShown_(window);
    } catch (const std::exception& e) {
        ADD_FAILURE() << "driving the dialog box \"" << Narrow(boxes_[index].caption) << "\" threw: " << e.what();
    } catch (...) {
        ADD_FAILURE() << "driving the dialog box \"" << Narrow(boxes_[index].caption) << "\" threw";
    }
}

void DialogWatch::Limit(size_t index)
{
    ::KillTimer(notes_, index + 1);
    const Box& box = boxes_[index];
    if (!::IsWindow(box.window))
        return;
    ADD_FAILURE() << "the dialog box \"" << Narrow(box.caption) << "\" was still open " << limitMs_ / 1000
                  << " s after it was shown; ending it";
    ::PostMessageW(box.window, WM_COMMAND, IDCANCEL, 0);
}

LRESULT CALLBACK DialogWatch::NoteProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* watch = reinterpret_cast<DialogWatch*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (watch != nullptr && message == runOnShown && wParam < watch->boxes_.size()) {
        watch->RunOnShown(wParam);
        return 0;
    }
    if (watch != nullptr && message == WM_TIMER && wParam >= 1 && wParam <= watch->boxes_.size()) {
        watch->Limit(wParam - 1);
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}
