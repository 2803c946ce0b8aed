#pragma once
// The application object: decides at start-up whether this process shows the
// main dialog, only applies the default assignment silently, asks a running
// copy to close, or only brings the running copy to the front.
#include <windows.h>
#include <atomic>
#include "CString.h"
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

    CObserveApp observer;
    unique_handle instanceMutex;
    // Written before the observer's thread starts, read only by it afterwards.
    DWORD uiThread_ = 0;
    CString title_;
    // A request that came before the main dialog had a window.
    std::atomic<bool> shutdownPending_{false};
    int exitCode_ = 0;
};
