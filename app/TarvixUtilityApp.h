#pragma once
// The application object: decides at start-up whether this process shows the
// main dialog, only applies the default assignment silently, asks a running
// copy to close, or only brings the running copy to the front.
#include <windows.h>
#include <atomic>
#include "Handles.h"
#include "ObserveApp.h"
#include "WinApp.h"

class CTarvixUtilityApp : public CWinApp, public CObserveApp::IObserveEvent
{
public:
    CTarvixUtilityApp() = default;
    ~CTarvixUtilityApp() override = default;

    BOOL InitInstance() override;
    int ExitInstance() override;
    int ExitCodeForException(std::exception_ptr error) noexcept override;
    BOOL PreTranslateMessage(MSG* message) override;

    // Called on the observer's thread. The request is handed to the
    // user-interface thread, where the main dialog applies and closes.
    int OnShutdownAll() override;
    int OnShutdownUser() override;

    // Exit statuses besides 0.
    static constexpr int ExitSetupFailed = 1;
    static constexpr int ExitNoLanguage = 3;

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

private:
    static const MessageMapEntry messageEntries[];
    int HandOverShutdown(WPARAM kind);
    // On the user-interface thread: the main dialog's window, or null once it is gone.
    void NoteMainWindow(HWND window);
    void PostPendingShutdown(HWND window);

    unique_handle instanceMutex;
    // The main dialog's window, recorded on the user-interface thread, where
    // the observer's thread posts its requests: a search for it by caption
    // could find a message box of the program instead.
    std::atomic<HWND> mainWindow_{nullptr};
    // The kind of a request not posted yet (0: none), such as one that came
    // before the main dialog had a window.
    std::atomic<WPARAM> pendingShutdown_{0};
    int exitCode_ = 0;
    // Declared last, so destroyed first: its watcher thread, which calls this
    // object back, has ended before any member it reads goes.
    CObserveApp observer;
};
