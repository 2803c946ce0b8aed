#include "Dialog.h"
#include <utility>
#include "LanguageModule.h"
#include "PhaseTimeline.h"
#include "WinApp.h"

namespace {

// The dialog whose window is being made on this thread: its procedure takes
// the window over on the first message the window sends it.
CDialog*& DialogBeingCreated()
{
    thread_local CDialog* dialog = nullptr;
    return dialog;
}

}  // namespace

// All messages go to the object through the subclassed window procedure; the
// dialog procedure only hands the new window to its object and otherwise asks
// for the dialog manager's default processing.
INT_PTR CALLBACK FrameworkDialogProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (CWnd::FromHandlePermanent(hwnd) != nullptr)
        return FALSE;
    CDialog* dialog = std::exchange(DialogBeingCreated(), nullptr);
    if (dialog == nullptr || !dialog->SubclassWindow(hwnd))
        return FALSE;
    dialog->destroyWithObject_ = true;
    // Without a dialog font WM_INITDIALOG is the first message: the object must see it.
    if (message == WM_INITDIALOG)
        return ::SendMessageW(hwnd, message, wParam, lParam);
    return FALSE;
}

const MessageMapEntry CDialog::messageEntries[] = {
    MapMessage<&CDialog::HandleInitDialog>(WM_INITDIALOG),
    MapCommand<&CDialog::OnOK>(BN_CLICKED, IDOK),
    MapCommand<&CDialog::OnCancel>(BN_CLICKED, IDCANCEL),
};
const MessageMap CDialog::messageMap = MakeMessageMap(&CWnd::messageMap, CDialog::messageEntries);

CDialog::CDialog(UINT templateId, CWnd* parent) noexcept : templateId_(templateId), parent_(parent)
{
}

INT_PTR CDialog::DoModal()
{
    if (m_hWnd != nullptr || FindTemplate() == nullptr)
        return -1;
    HWND owner = OwnerWindow();
    if (owner != nullptr && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        disabledOwner_ = owner;
    }
    try {
        if (CreateFromTemplate(owner) && !ended_ && !HasPendingException()) {
            MarkPhase(FrameworkPhase::dialogCreated);
            if (!IsWindowVisible())
                ShowWindow(SW_SHOWNORMAL);
            RunModalLoop();
        }
    } catch (...) {
        KeepPendingException(std::current_exception());
    }
    // The owner is enabled before the dialog goes, so that it gets the activation.
    ReleaseOwner();
    if (m_hWnd != nullptr) {
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        if (owner != nullptr && ::GetActiveWindow() == m_hWnd)
            ::SetActiveWindow(owner);
        DestroyWindow();
    }
    RethrowPendingException();
    return GetEndResult();
}

BOOL CDialog::Create(CWnd* parent)
{
    if (m_hWnd != nullptr)
        return FALSE;
    if (parent != nullptr)
        parent_ = parent;
    const bool made = CreateFromTemplate(OwnerWindow());
    if (HasPendingException()) {
        DestroyWindow();
        RethrowPendingException();
    }
    return made ? TRUE : FALSE;
}

void CDialog::EndDialog(int result)
{
    endResult_ = result;
    ended_ = true;
    if (m_hWnd == nullptr)
        return;
    ReleaseOwner();
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER);
    PostMessage(WM_NULL);  // wakes the modal loop
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::NextDlgCtrl()
{
    SendMessage(WM_NEXTDLGCTL, 0, 0);
}

void CDialog::GotoDlgCtrl(CWnd* control)
{
    if (control != nullptr)
        SendMessage(WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control->m_hWnd), TRUE);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    return OnInitDialog();
}

const DLGTEMPLATE* CDialog::FindTemplate() const
{
    HINSTANCE module = GetLanguageResourceHandle();
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(templateId_), RT_DIALOG);
    if (found == nullptr)
        return nullptr;
    HGLOBAL loaded = ::LoadResource(module, found);
    return loaded != nullptr ? static_cast<const DLGTEMPLATE*>(::LockResource(loaded)) : nullptr;
}

HWND CDialog::OwnerWindow() const
{
    HWND owner = nullptr;
    if (parent_ != nullptr && parent_->m_hWnd != nullptr) {
        owner = parent_->m_hWnd;
    } else if (CWnd* main = AfxGetMainWnd(); main != nullptr && main != this) {
        owner = main->m_hWnd;
    }
    if (owner == nullptr || !::IsWindow(owner))
        return nullptr;
    // Only a top-level window can own another.
    return ::GetAncestor(owner, GA_ROOT);
}

bool CDialog::CreateFromTemplate(HWND owner)
{
    const DLGTEMPLATE* dialogTemplate = FindTemplate();
    if (dialogTemplate == nullptr)
        return false;
    ended_ = false;
    endResult_ = -1;
    DialogBeingCreated() = this;
    HWND hwnd = ::CreateDialogIndirectParamW(GetLanguageResourceHandle(), dialogTemplate, owner,
                                             &FrameworkDialogProcedure, 0);
    DialogBeingCreated() = nullptr;
    if (hwnd == nullptr)
        return false;
    if (m_hWnd != hwnd) {
        // The window never reached its object; it is of no use without it.
        ::DestroyWindow(hwnd);
        return false;
    }
    return true;
}

void CDialog::RunModalLoop()
{
    MSG message;
    while (!ended_ && m_hWnd != nullptr && !HasPendingException()) {
        // The thread's windows, this dialog's controls included, have nothing left to paint.
        if (PhaseTimelineOn() && IsWindowVisible() && (HIWORD(::GetQueueStatus(QS_PAINT)) & QS_PAINT) == 0)
            MarkPhase(FrameworkPhase::firstPaint);
        const BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0) {
            // WM_QUIT ends this loop and, posted again, every loop around it.
            ::PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (!PreTranslateModalMessage(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

bool CDialog::PreTranslateModalMessage(MSG& message)
{
    if (CWinApp* app = AfxGetApp(); app != nullptr && app->PreTranslateMessage(&message))
        return true;
    return m_hWnd != nullptr && ::IsDialogMessageW(m_hWnd, &message);
}

void CDialog::ReleaseOwner()
{
    if (HWND owner = std::exchange(disabledOwner_, nullptr))
        ::EnableWindow(owner, TRUE);
}
