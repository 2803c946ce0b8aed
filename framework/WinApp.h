#pragma once
// The application object: one per program, constructed statically. The
// framework's wWinMain (framework_main) runs InitInstance, then, when that
// returned TRUE with a main window, the message loop (Run), then ExitInstance,
// whose result is the exit status. A dialog program runs its dialog inside
// InitInstance and returns FALSE.
//
// An exception that escapes InitInstance or Run ends the program in order: the
// main window is destroyed, wWinMain returns ExitCodeForException's status
// (never 0) and static destruction runs as usual.
#include <windows.h>
#include <exception>
#include "CmdTarget.h"
#include "Handles.h"

class CWnd;

class CWinApp : public CCmdTarget
{
public:
    CWinApp() noexcept;
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    HINSTANCE m_hInstance = nullptr;
    // The command line after the program name and the blanks that follow it.
    const wchar_t* m_lpCmdLine = L"";
    int m_nCmdShow = SW_SHOWNORMAL;
    CWnd* m_pMainWnd = nullptr;  // not owned; cleared when its window is destroyed

    virtual BOOL InitInstance() { return TRUE; }
    // The message loop, until WM_QUIT (posted when the main window is destroyed).
    virtual int Run();
    // The exit status: the WM_QUIT code, 0 when there was none.
    virtual int ExitInstance() { return quitCode_; }
    // Every message of the framework's loops passes here first; TRUE takes it.
    virtual BOOL PreTranslateMessage(MSG* message);
    // The exit status for an exception that escaped: the HRESULT of a
    // CComException, otherwise 1. Applications map their own exception types.
    virtual int ExitCodeForException(std::exception_ptr error) noexcept;

    CWnd* GetMainWnd() const noexcept { return m_pMainWnd; }

    // Loads <locale>\<muiName> beside the program as the language resources of
    // texts and dialog templates; they stay loaded while the application lives.
    BOOL LoadLanguageResources(const wchar_t* muiName);

    // Framework use: a window of ours was destroyed.
    void NoteWindowDestroyed(CWnd* window);
    // Framework use: what wWinMain does.
    int RunProgram(HINSTANCE instance, const wchar_t* commandLine, int show);

private:
    void DestroyMainWindow();

    unique_hmodule language_;
    bool loopRunning_ = false;
    int quitCode_ = 0;
};

CWinApp* AfxGetApp() noexcept;
CWnd* AfxGetMainWnd() noexcept;
// The program's module: the application's instance, else the process's main module.
HINSTANCE AfxGetInstanceHandle() noexcept;
