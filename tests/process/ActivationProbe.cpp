// A CBT hook that a test sets on a thread of a program it started: Windows
// loads this DLL into that program and calls the hook there. Each activation
// of a window of the program sets the manual-reset event
// "TarvixTest-Activated-<program's process id>", which the test made.
#include <windows.h>
#include <string>

extern "C" LRESULT CALLBACK ActivationProbeHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && wParam != 0) {  // 0: the thread's window is deactivated
        const std::wstring name = L"TarvixTest-Activated-" + std::to_wstring(GetCurrentProcessId());
        if (HANDLE activated = OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str())) {
            SetEvent(activated);
            CloseHandle(activated);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
