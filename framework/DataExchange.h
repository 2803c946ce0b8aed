#pragma once
// Data exchange between a dialog's controls and the members bound to them.
// DoDataExchange lists the bindings; UpdateData(FALSE) fills the controls,
// UpdateData(TRUE) reads them back.
#include <windows.h>
#include "CString.h"

class CWnd;

class CDataExchange
{
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) noexcept
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog)
    {
    }

    BOOL m_bSaveAndValidate;  // TRUE: controls to members
    CWnd* m_pDlgWnd;

    // The control's window; null when the dialog has no such control.
    HWND PrepareCtrl(int id) const;
};

// Subclasses control `id` into `control` the first time; later calls change nothing.
// A missing control, or one that already has an object, leaves `control` without a window.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

// The control's text, unchanged in both directions (no trimming, no limit of our own).
void DDX_Text(CDataExchange* dx, int id, CString& value);
