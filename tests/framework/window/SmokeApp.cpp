// A small program on CWinApp whose behaviour is chosen by its command line;
// WinAppTest starts it as a process and reads its exit status.
//   dialog          InitInstance runs a dialog that closes itself, returns FALSE: 40 + the dialog's result
//   loop            a modeless main window and the message loop until it is destroyed: 50
//   throw N         InitInstance raises the program's own exception with code N
//   throw-other     InitInstance raises something the program does not map
//   throw-handler   a handler of the running dialog raises a COM error
//   cmdline ...     the length of the command line the application was given
//   language        loads the program's language resources: 60
#include <cwchar>
#include "ComException.h"
#include "LanguageModule.h"
#include "tarvix/resource.h"
#include "TestDialogs.h"
#include "WinApp.h"

namespace {

struct SmokeError
{
    int code;
};

bool StartsWith(const wchar_t* text, const wchar_t* prefix)
{
    return wcsncmp(text, prefix, wcslen(prefix)) == 0;
}

// Ends itself (or throws) once its loop runs.
class CSelfClosingDlg : public CTestDlg
{
public:
    UINT closeWith = IDOK;
    bool destroyInstead = false;
    bool throwInstead = false;

    BOOL OnInitDialog() override
    {
        CTestDlg::OnInitDialog();
        PostMessage(WM_APP + 40);
        return TRUE;
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message != WM_APP + 40)
            return CTestDlg::WindowProc(message, wParam, lParam);
        if (throwInstead)
            ThrowComError(E_OUTOFMEMORY);
        if (destroyInstead)
            DestroyWindow();
        else
            EndDialog(static_cast<int>(closeWith));
        return 0;
    }
};

class CSmokeApp : public CWinApp
{
public:
    BOOL InitInstance() override
    {
        const wchar_t* command = m_lpCmdLine;
        if (StartsWith(command, L"cmdline")) {
            status_ = static_cast<int>(wcslen(command));
            return FALSE;
        }
        if (StartsWith(command, L"language")) {
            status_ = CheckLanguageResources();
            return FALSE;
        }
        if (StartsWith(command, L"throw-other"))
            throw 5;
        if (StartsWith(command, L"throw-handler")) {
            dialog_.throwInstead = true;
            dialog_.DoModal();
            status_ = 98;  // not reached
            return FALSE;
        }
        if (StartsWith(command, L"throw "))
            throw SmokeError{_wtoi(command + 6)};
        if (StartsWith(command, L"dialog")) {
            dialog_.closeWith = IDRETRY;
            m_pMainWnd = &dialog_;
            const INT_PTR result = dialog_.DoModal();
            // The main window is forgotten when its window goes.
            status_ = m_pMainWnd == nullptr ? 40 + static_cast<int>(result) : 99;
            return FALSE;
        }
        if (StartsWith(command, L"loop")) {
            dialog_.destroyInstead = true;
            if (!dialog_.Create())
                return FALSE;
            m_pMainWnd = &dialog_;
            status_ = 50;
            return TRUE;
        }
        status_ = 97;
        return FALSE;
    }

    int ExitInstance() override
    {
        const int quit = CWinApp::ExitInstance();
        return quit != 0 ? quit : status_;
    }

    int ExitCodeForException(std::exception_ptr error) noexcept override
    {
        try {
            std::rethrow_exception(error);
        } catch (const SmokeError& e) {
            return e.code;
        } catch (...) {
            return CWinApp::ExitCodeForException(std::current_exception());
        }
    }

private:
    // A missing language changes nothing; a present one serves the texts.
    int CheckLanguageResources()
    {
        if (LoadLanguageResources(L"NoSuchProgram.exe.mui"))
            return 91;
        if (GetLanguageResourceHandle() != GetCurrentModule())
            return 92;
        if (!LoadLanguageResources(L"TarvixUtility.exe.mui"))
            return 93;
        if (GetLanguageResourceHandle() == GetCurrentModule())
            return 94;
        CString title;
        return title.LoadString(IDS_APP_TITLE) && !title.IsEmpty() ? 60 : 95;
    }

    CSelfClosingDlg dialog_;
    int status_ = 0;
};

CSmokeApp theApp;

}  // namespace
