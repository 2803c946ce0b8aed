#include "ModalDriver.h"
#include <utility>
#include "LanguageModule.h"

namespace {

struct DriveState
{
    CDialog* dialog = nullptr;
    std::function<void(CDialog&)> drive;
    UINT_PTR driveTimer = 0;
    UINT_PTR limitTimer = 0;
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
    if (state.dialog != nullptr && state.dialog->m_hWnd != nullptr)
        state.dialog->EndDialog(static_cast<int>(modalNotEnded));
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
    state.limitTimer = ::SetTimer(nullptr, 0, 10000, &LimitTimerProc);
    auto drive = std::exchange(state.drive, nullptr);
    try {
        drive(*state.dialog);
    } catch (...) {
        KeepPendingException(std::current_exception());
    }
}

} // namespace

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

HWND FocusInFront(HWND dialog)
{
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (::GetForegroundWindow() == dialog) {
            if (HWND focus = ::GetFocus())
                return focus;
        } else {
            ::SetForegroundWindow(dialog);
        }
        PumpMessages(dialog);
        ::Sleep(20);
    }
    return ::GetFocus();
}

ScopedLanguageResources::ScopedLanguageResources(HINSTANCE module) : previous_(GetLanguageResourceHandle())
{
    SetLanguageResourceHandle(module);
}

ScopedLanguageResources::~ScopedLanguageResources()
{
    SetLanguageResourceHandle(previous_);
}
