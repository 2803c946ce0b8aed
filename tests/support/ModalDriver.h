#pragma once
// Drives dialogs in tests from inside their message loop.
#include <windows.h>
#include <functional>
#include "Dialog.h"

// What RunModal answers when `drive` did not end the dialog within the time limit.
constexpr INT_PTR modalNotEnded = -2;

// Runs `dialog` modally; once it is shown, `drive` is called from inside the
// modal loop (the dialog's window exists, OnInitDialog has run). `drive` sends
// or posts the messages a user would cause and usually ends the dialog; when the
// dialog is still open 10 s later it is ended with modalNotEnded.
INT_PTR RunModal(CDialog& dialog, std::function<void(CDialog&)> drive);

// Handles the messages waiting in this thread's queue, as a dialog loop would.
void PumpMessages(HWND dialog = nullptr);

// Notes, for every window of this thread, which of its controls last received
// the focus (WM_SETFOCUS); TestMain turns it on for the test thread.
void TrackDialogFocus();

// The control of `dialog` that has the focus whenever the dialog is active:
// the one that last received it. Other test processes take the foreground at
// any moment, and a thread whose window is not active has no focus at all
// (the dialog keeps it for its return), so GetFocus() would depend on them.
HWND DialogFocus(HWND dialog);

// A key pressed on the control of `dialog` that has the focus, handled by the
// dialog manager of `dialog` (IsDialogMessage) before this returns. Shift is
// held through the thread's key state, which is what the dialog manager asks;
// an Alt key is a mnemonic character (WM_SYSCHAR).
enum class Held
{
    nothing,
    shift,
    alt
};
void PressKey(HWND dialog, UINT key, Held held = Held::nothing);

// Makes `module` the language resources while it lives (e.g. the test program's own).
class ScopedLanguageResources
{
public:
    explicit ScopedLanguageResources(HINSTANCE module);
    ~ScopedLanguageResources();
    ScopedLanguageResources(const ScopedLanguageResources&) = delete;
    ScopedLanguageResources& operator=(const ScopedLanguageResources&) = delete;

private:
    HINSTANCE previous_;
};
