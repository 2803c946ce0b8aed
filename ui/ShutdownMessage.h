#pragma once
// The registered window message "CObserveAppNotify" through which a shutdown
// request reaches the main dialog: wParam 1 for all sessions, 2 for this one.
// Shared by the observer that posts it and the dialog that handles it.
#include <windows.h>

inline UINT ShutdownNotifyMessage()
{
    static const UINT message = RegisterWindowMessageW(L"CObserveAppNotify");
    return message;
}

// Its number, registered during static initialisation, for message maps.
inline const UINT shutdownNotifyMessage = ShutdownNotifyMessage();
