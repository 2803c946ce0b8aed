#include "TarvixUtilityApp.h"
#include <commctrl.h>
#include <objbase.h>
#include "CommandLine.h"
#include "Exceptions.h"
#include "Assignments.h"
#include "LanguageModule.h"
#include "MessageBoxes.h"
#include "ShutdownMessage.h"
#include "StartupPhases.h"
#include "SettingsConnection.h"
#include "TarvixUtilityDlg.h"
#include "tarvix/resource.h"

// The one application object.
CTarvixUtilityApp theApp;

namespace {

// The class atom of the system's dialog windows.
const ATOM dialogClassAtom = 0x8002;

// A module that loads but lacks the program's title or its main dialog (another
// program's resources, or a damaged file) is of no more use than none.
bool HasProgramResources()
{
    return !LoadText(IDS_APP_TITLE).IsEmpty() &&
           FindResourceW(GetLanguageResourceHandle(), MAKEINTRESOURCEW(IDD_MAIN_DIALOG), RT_DIALOG) != nullptr;
}

}  // namespace

const MessageMapEntry CTarvixUtilityApp::messageEntries[] = {
    MapDefault(WM_NULL),  // the application handles no messages of its own
};
const MessageMap CTarvixUtilityApp::messageMap = MakeMessageMap(&CWinApp::messageMap, messageEntries);

BOOL CTarvixUtilityApp::InitInstance()
{
    const StartupSwitches switches = ParseCommandLine(m_lpCmdLine);
    // A silent run without a dialog to show registers no window classes and so
    // never loads the common controls (their DLL loads on this first call).
    const bool windowless = switches.halt || (switches.silent && switches.presetNumber == 0);
    if (!windowless) {
        INITCOMMONCONTROLSEX controls{};
        controls.dwSize = sizeof(controls);
        controls.dwICC = 0xFF;
        InitCommonControlsEx(&controls);
    }
    CWinApp::InitInstance();
    (void)CoInitialize(nullptr);  // a failure shows when the device cannot be created
    MarkPhase(StartupPhase::com);

    // A request to close the running copy needs no texts: a copy whose
    // language resource is gone must still be able to end the one that runs.
    if (switches.halt) {
        if (HANDLE shutdown = observer.SessionShutdownEvent())
            SetEvent(shutdown);
        return TRUE;  // no main window: the program ends
    }

    if (!LoadLanguageResources(L"TarvixUtility.exe.mui") || !HasProgramResources()) {
        // Without its texts the program cannot say anything else, so this one is in English.
        if (!switches.silent)
            MessageBoxW(nullptr,
                        L"TarvixUtility cannot start because its language resources are missing or damaged.\n"
                        L"Reinstall the program: the folder en-US beside TarvixUtility.exe must hold "
                        L"TarvixUtility.exe.mui.",
                        L"TarvixUtility", MB_OK | MB_ICONERROR);
        exitCode_ = ExitNoLanguage;
        return FALSE;
    }

    const CString title = LoadText(IDS_APP_TITLE);
    SetLastError(ERROR_SUCCESS);
    instanceMutex.reset(CreateMutexW(nullptr, TRUE, title));
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        if (HWND running = FindWindowW(MAKEINTATOM(dialogClassAtom), title))
            SetForegroundWindow(running);
        return FALSE;
    }
    if (error != ERROR_SUCCESS || !instanceMutex)
        throw zvk_co_InternalException(static_cast<int>(error != ERROR_SUCCESS ? error : ERROR_INVALID_HANDLE),
                                       zvk_co_Exception::SystemCallFailed);

    observer.SetListener(this);
    // Running without presence mutexes is still running. A run without a window
    // has nothing a shutdown request could close, so it needs no watcher.
    (void)(windowless ? observer.PublishPresence() : observer.Start());

    if (windowless) {
        // The dialog's set-up without the dialog: its screen metrics, brush and
        // icon would only be thrown away.
        CServiceSettings settings;
        CAssignments assignments(settings);
        if (!assignments.Initialize(true))
            exitCode_ = ExitSetupFailed;  // the error box is silent here
        return FALSE;
    }

    CTarvixUtilityDlg dialog;
    if (!dialog.InitializeButtons(switches.silent)) {
        ShowErrorBox(LoadText(IDS_BUTTON_SETUP_FAILED), switches.silent);
        exitCode_ = ExitSetupFailed;
        return FALSE;
    }
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    NoteMainWindow(nullptr);
    return FALSE;
}

int CTarvixUtilityApp::ExitInstance()
{
    // The settings service's proxies go while COM is still up.
    ReleaseSettingsConnection();
    CWinApp::ExitInstance();
    return exitCode_;
}

int CTarvixUtilityApp::ExitCodeForException(std::exception_ptr error) noexcept
{
    try {
        std::rethrow_exception(error);
    } catch (const zvk_co_Exception& failure) {
        return failure.code != 0 ? failure.code : 1;
    } catch (...) {
        return CWinApp::ExitCodeForException(error);
    }
}

int CTarvixUtilityApp::OnShutdownAll()
{
    return HandOverShutdown(1);
}

int CTarvixUtilityApp::OnShutdownUser()
{
    return HandOverShutdown(2);
}

int CTarvixUtilityApp::HandOverShutdown(WPARAM kind)
{
    // This runs on the observer's thread: the dialog object is not touched here,
    // and nothing is sent to the user-interface thread, which may be busy or ending.
    pendingShutdown_ = kind;
    if (HWND window = mainWindow_)
        PostPendingShutdown(window);
    return 0;
}

void CTarvixUtilityApp::NoteMainWindow(HWND window)
{
    mainWindow_ = window;
    if (window != nullptr)
        PostPendingShutdown(window);
}

void CTarvixUtilityApp::PostPendingShutdown(HWND window)
{
    // Both threads come here, the observer's after storing a request and this
    // one after storing the window: at least one of them sees both, and the
    // exchange lets only one of them post.
    if (const WPARAM kind = pendingShutdown_.exchange(0))
        PostMessageW(window, shutdownNotifyMessage, kind, 0);
}

BOOL CTarvixUtilityApp::PreTranslateMessage(MSG* message)
{
    // The first message of the dialog's loop passes here once its window is up.
    if (mainWindow_ == nullptr && m_pMainWnd != nullptr && m_pMainWnd->IsWindow())
        NoteMainWindow(m_pMainWnd->m_hWnd);
    return CWinApp::PreTranslateMessage(message);
}
