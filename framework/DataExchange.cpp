#include "DataExchange.h"
#include "Wnd.h"

HWND CDataExchange::PrepareCtrl(int id) const
{
    if (m_pDlgWnd == nullptr)
        return nullptr;
    return ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (control.m_hWnd != nullptr)
        return;
    if (HWND hwnd = dx->PrepareCtrl(id))
        (void)control.SubclassWindow(hwnd);
}

void DDX_Text(CDataExchange* dx, int id, CString& value)
{
    HWND hwnd = dx->PrepareCtrl(id);
    if (hwnd == nullptr)
        return;
    if (dx->m_bSaveAndValidate) {
        GetWindowTextOf(hwnd, value);
    } else {
        ::SetWindowTextW(hwnd, value);
    }
}
