#pragma once
// Dialog boxes that this thread shows, seen from inside the thread itself.
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

// Sees every top-level dialog box (window class "#32770", message boxes
// included) that this thread creates and shows while the watch lives, through
// hooks on this thread only. A box is made and shown by a call on this thread
// (MessageBox, DoModal), so the hooks see it during that call: once the call
// has returned, every box it showed has been seen. Nothing is polled, nothing
// can appear and go unseen, and other processes' windows never count.
class DialogWatch
{
public:
    struct Box
    {
        HWND window = nullptr;
        bool shown = false;    // became visible
        std::wstring caption;  // as shown
        std::wstring text;     // a message box's message (its static 0xFFFF), else empty
    };

    // `onShown` runs for each box once it is visible, from inside the box's
    // own message loop (posted to this thread as it is shown), and usually ends
    // it. A box still open `limitMs` after it was shown is ended with IDCANCEL
    // and fails the test, naming the box.
    explicit DialogWatch(std::function<void(HWND)> onShown = nullptr, DWORD limitMs = 30000);
    ~DialogWatch();
    DialogWatch(const DialogWatch&) = delete;
    DialogWatch& operator=(const DialogWatch&) = delete;

    // Every box created while watching, in order, whether or not it was shown.
    const std::vector<Box>& Boxes() const { return boxes_; }
    // The boxes other than `except` (e.g. the dialog under test).
    std::vector<Box> BoxesExcept(HWND except) const;

private:
    static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CallHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK NoteProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Created(HWND window);
    void Shown(HWND window);
    void RunOnShown(size_t index);
    void Limit(size_t index);

    std::function<void(HWND)> onShown_;
    DWORD limitMs_;
    std::vector<Box> boxes_;
    HWND notes_ = nullptr;  // message-only window: runs onShown and the limits on this thread
    HHOOK cbt_ = nullptr;
    HHOOK calls_ = nullptr;
    DialogWatch* previous_ = nullptr;
};
