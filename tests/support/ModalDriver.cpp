#include "ModalDriver.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <iterator>
#include <map>
#include <utility>
#include "LanguageModule.h"

namespace {

struct DriveState
{
    CDialog* dialog = nullptr;
    std::function<void(CDialog&)> drive;
    UINT_PTR driveTimer = 0;
    UINT_PTR limitTimer = 0;
    bool driven = false;
};

DriveState& State()
{
    thread_local DriveState state;
    return state;
}

void CALLBACK LimitTimerProc(HWND, UINT, UINT_PTR timer, DWORD)
{
    ::KillTimer(nullptr, timer);
    DriveState& state = State();
    state.limitTimer = 0;
    if (state.dialog != nullptr && state.dialog->m_hWnd != nullptr) {
        ADD_FAILURE() << (state.driven ? "RunModal: the dialog was still open 30 s after it was driven"
                                       : "RunModal: the dialog did not become visible within 30 s")
                      << "; ending it with modalNotEnded";
        state.dialog->EndDialog(static_cast<int>(modalNotEnded));
    }
}

void CALLBACK DriveTimerProc(HWND, UINT, UINT_PTR timer, DWORD)
{
    DriveState& state = State();
    if (state.dialog == nullptr || state.dialog->m_hWnd == nullptr || !state.dialog->IsWindowVisible())
        return;  // not up yet: the next tick tries again
    ::KillTimer(nullptr, timer);
    state.driveTimer = 0;
    if (state.limitTimer != 0)
        ::KillTimer(nullptr, state.limitTimer);
    // Messages the drive posted come before any timer: this fires only when
    // the dialog stays open with nothing left to do.
    state.limitTimer = ::SetTimer(nullptr, 0, 30000, &LimitTimerProc);
    state.driven = true;
    auto drive = std::exchange(state.drive, nullptr);
    try {
        drive(*state.dialog);
    } catch (...) {
        KeepPendingException(std::current_exception());
    }
}

}  // namespace

INT_PTR RunModal(CDialog& dialog, std::function<void(CDialog&)> drive)
{
    DriveState& state = State();
    state.dialog = &dialog;
    state.drive = std::move(drive);
    state.driveTimer = ::SetTimer(nullptr, 0, 10, &DriveTimerProc);
    // A dialog that never shows must not hang the test; driving it resets the limit.
    state.limitTimer = ::SetTimer(nullptr, 0, 30000, &LimitTimerProc);
    INT_PTR result = -1;
    try {
        result = dialog.DoModal();
    } catch (...) {
        state = DriveState{};
        throw;
    }
    if (state.driveTimer != 0)
        ::KillTimer(nullptr, state.driveTimer);
    if (state.limitTimer != 0)
        ::KillTimer(nullptr, state.limitTimer);
    state = DriveState{};
    return result;
}

void PumpMessages(HWND dialog)
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (dialog != nullptr && ::IsDialogMessageW(dialog, &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

namespace {

struct FocusRecord
{
    HHOOK hook = nullptr;
    std::map<HWND, HWND> focus;  // top-level window -> its control that last got the focus
};

FocusRecord& Focus()
{
    thread_local FocusRecord record;
    return record;
}

LRESULT CALLBACK FocusHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HC_ACTION) {
        const auto* call = reinterpret_cast<CWPRETSTRUCT*>(lParam);
        if (call->message == WM_SETFOCUS) {
            if (HWND root = ::GetAncestor(call->hwnd, GA_ROOT))
                Focus().focus[root] = call->hwnd;
        } else if (call->message == WM_NCDESTROY) {
            Focus().focus.erase(call->hwnd);
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void TrackDialogFocus()
{
    FocusRecord& record = Focus();
    if (record.hook == nullptr)
        record.hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, &FocusHook, nullptr, ::GetCurrentThreadId());
}

HWND DialogFocus(HWND dialog)
{
    FocusRecord& record = Focus();
    if (record.hook == nullptr) {
        ADD_FAILURE() << "DialogFocus: this thread's focus is not tracked (TrackDialogFocus)";
        return nullptr;
    }
    PumpMessages(dialog);  // what the dialog still has to do
    const auto found = record.focus.find(dialog);
    if (found == record.focus.end())
        return nullptr;
    HWND focus = found->second;
    return focus == dialog || ::IsChild(dialog, focus) ? focus : nullptr;
}

void PressKey(HWND dialog, UINT key, Held held)
{
    HWND target = DialogFocus(dialog);
    if (target == nullptr)
        target = dialog;
    // A key reaches only the control that has the focus, and another test's
    // window may have taken it (the dialog manager then finds no focus to move
    // on from). Give it back and hand the key over at once, before this thread
    // reads another event from the display that could take it again.
    if (target != dialog && ::GetFocus() != target)
        ::SetFocus(target);
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    BYTE shifted[256];
    std::copy(std::begin(keys), std::end(keys), std::begin(shifted));
    shifted[VK_SHIFT] = held == Held::shift ? 0x80 : 0;
    ::SetKeyboardState(shifted);
    MSG message{};
    message.hwnd = target;
    message.message = held == Held::alt ? WM_SYSCHAR : WM_KEYDOWN;
    message.wParam = key;
    message.lParam = held == Held::alt ? (1 | (1 << 29)) : 1;  // bit 29: the Alt key is down
    if (!::IsDialogMessageW(dialog, &message))
        ::DispatchMessageW(&message);
    ::SetKeyboardState(keys);
    PumpMessages(dialog);
}

ScopedLanguageResources::ScopedLanguageResources(HINSTANCE module) : previous_(GetLanguageResourceHandle())
{
    SetLanguageResourceHandle(module);
}

ScopedLanguageResources::~ScopedLanguageResources()
{
    SetLanguageResourceHandle(previous_);
}
