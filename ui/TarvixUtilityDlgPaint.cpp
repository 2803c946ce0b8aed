// The main dialog draws its own background and the assigned programs' icons.
#include "Guards.h"
#include "MainDialogPainter.h"
#include "TarvixUtilityDlg.h"
#include "tarvix/resource.h"

void CTarvixUtilityDlg::OnPaint()
{
    const paint_dc dc(m_hWnd);
    RECT client;
    GetClientRect(&client);
    CMainDialogPainter::Paint(dc.get(), client.right - client.left, client.bottom - client.top, scale_,
                              buttonIcon[0].get(), buttonIcon[1].get());
}

HBRUSH CTarvixUtilityDlg::OnCtlColor(HDC dc, CWnd* control, UINT kind)
{
    HBRUSH brush = CDialog::OnCtlColor(dc, control, kind);
    if (control == nullptr || control->m_hWnd == m_hWnd)
        return brush;
    switch (control->GetDlgCtrlID()) {
    case IDC_OPTION_CHECK:
        return whiteBrush_.get();
    case IDC_PRESET_CAPTION:
    case IDC_MOUSE_PICTURE:  // above 96 DPI the control is larger than its bitmap
        SetBkColor(dc, RGB(255, 255, 255));
        return whiteBrush_.get();
    case IDC_BUTTON0_PANEL:
    case IDC_BUTTON1_PANEL:
    case IDC_BUTTON0_LABEL:
    case IDC_BUTTON1_LABEL:
        SetBkColor(dc, RGB(255, 255, 255));
        SetTextColor(dc, RGB(0, 0, 0));
        return whiteBrush_.get();
    default:
        return brush;
    }
}
