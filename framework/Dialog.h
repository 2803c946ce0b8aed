#pragma once
// A dialog made from a template of the language resources (GetLanguageResourceHandle).
//
// DoModal makes the dialog, disables its owner and runs a message loop until
// EndDialog; Create makes the same dialog without a loop of its own, so a test
// can look at a live dialog. The owner is the parent given, else the
// application's main window (when that is not this dialog).
//
// IDOK and IDCANCEL commands go to the virtual OnOK and OnCancel; Escape and
// the close box arrive as IDCANCEL.
#include <windows.h>
#include "MessageMap.h"
#include "Wnd.h"

class CDialog : public CWnd
{
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr) noexcept;

    // IDOK, IDCANCEL or the value given to EndDialog; -1 when the template is
    // missing, the window cannot be made or is destroyed without EndDialog.
    // A handler's exception ends the dialog and is raised from here.
    virtual INT_PTR DoModal();
    // The modeless path; FALSE when the template is missing or the window cannot be made.
    BOOL Create(CWnd* parent = nullptr);

    // Ends the dialog with `result`: the modal loop stops and the window is hidden.
    void EndDialog(int result);
    // The value given to EndDialog; -1 until then.
    INT_PTR GetEndResult() const noexcept { return ended_ ? endResult_ : -1; }

    // Fills the controls (UpdateData(FALSE)); TRUE lets the dialog set the focus.
    virtual BOOL OnInitDialog();
    // Reads the controls (UpdateData(TRUE)), then ends with IDOK.
    virtual void OnOK();
    // Ends with IDCANCEL.
    virtual void OnCancel();

    // Focus to the next control in the tab order / to `control`.
    void NextDlgCtrl();
    void GotoDlgCtrl(CWnd* control);

    UINT GetTemplateId() const noexcept { return templateId_; }

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

private:
    static const MessageMapEntry messageEntries[];
    friend INT_PTR CALLBACK FrameworkDialogProcedure(HWND, UINT, WPARAM, LPARAM);

    LRESULT HandleInitDialog(WPARAM, LPARAM);
    const DLGTEMPLATE* FindTemplate() const;
    HWND OwnerWindow() const;
    bool CreateFromTemplate(HWND owner);
    void RunModalLoop();
    bool PreTranslateModalMessage(MSG& message);
    void ReleaseOwner();

    UINT templateId_;
    CWnd* parent_;
    INT_PTR endResult_ = -1;
    bool ended_ = false;
    HWND disabledOwner_ = nullptr;  // the owner a modal run disabled, until it is enabled again
};
