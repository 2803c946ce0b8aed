#include "WinApp.h"
#include "ComException.h"
#include "Dialog.h"
#include "LanguageModule.h"
#include "PhaseTimeline.h"
#include "Wnd.h"
#include <utility>

namespace {

CWinApp* application = nullptr;

}  // namespace

CWinApp* AfxGetApp() noexcept
{
    return application;
}

CWnd* AfxGetMainWnd() noexcept
{
    return application != nullptr ? application->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle() noexcept
{
    if (application != nullptr && application->m_hInstance != nullptr)
        return application->m_hInstance;
    return ::GetModuleHandleW(nullptr);
}

CWinApp::CWinApp() noexcept
{
    if (application == nullptr)
        application = this;
}

CWinApp::~CWinApp()
{
    if (language_ && GetLanguageResourceHandle() == language_.get())
        SetLanguageResourceHandle(nullptr);
    if (application == this)
        application = nullptr;
}

int CWinApp::Run()
{
    if (m_pMainWnd == nullptr || !m_pMainWnd->IsWindow())
        return ExitInstance();

    struct LoopFlag
    {
        bool& flag;
        explicit LoopFlag(bool& f) : flag(f) { flag = true; }
        ~LoopFlag() { flag = false; }
    } running(loopRunning_);

    MSG message;
    for (;;) {
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            quitCode_ = static_cast<int>(message.wParam);
            break;
        }
        if (got == -1)
            break;
        if (!PreTranslateMessage(&message)) {
            // A dialog as the main window keeps its keyboard interface.
            CDialog* dialog = dynamic_cast<CDialog*>(m_pMainWnd);
            if (dialog == nullptr || !::IsDialogMessageW(dialog->m_hWnd, &message)) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
        }
        CWnd::RethrowPendingException();
    }
    return ExitInstance();
}

BOOL CWinApp::PreTranslateMessage(MSG*)
{
    return FALSE;
}

int CWinApp::ExitCodeForException(std::exception_ptr error) noexcept
{
    try {
        std::rethrow_exception(std::move(error));
    } catch (const CComException& e) {
        return static_cast<int>(e.Error());
    } catch (...) {
        return 1;
    }
}

BOOL CWinApp::LoadLanguageResources(const wchar_t* muiName)
{
    unique_hmodule module = LoadLanguageModule(nullptr, muiName);
    if (!module)
        return FALSE;
    language_ = std::move(module);
    SetLanguageResourceHandle(language_.get());
    MarkPhase(FrameworkPhase::languageModule);
    return TRUE;
}

void CWinApp::NoteWindowDestroyed(CWnd* window)
{
    if (window == nullptr || window != m_pMainWnd)
        return;
    m_pMainWnd = nullptr;
    if (loopRunning_)
        ::PostQuitMessage(0);
}

void CWinApp::DestroyMainWindow()
{
    if (m_pMainWnd != nullptr && m_pMainWnd->IsWindow())
        m_pMainWnd->DestroyWindow();
}

int CWinApp::RunProgram(HINSTANCE instance, const wchar_t* commandLine, int show)
{
    m_hInstance = instance;
    m_lpCmdLine = commandLine != nullptr ? commandLine : L"";
    m_nCmdShow = show;
    try {
        if (!InitInstance()) {
            DestroyMainWindow();
            return ExitInstance();
        }
        return Run();
    } catch (...) {
        int status = ExitCodeForException(std::current_exception());
        if (status == 0)
            status = 1;
        DestroyMainWindow();
        // What the window's handlers may still have thrown while going is of no more use.
        if (CWnd::HasPendingException()) {
            try {
                CWnd::RethrowPendingException();
            } catch (...) {
            }
        }
        return status;
    }
}
