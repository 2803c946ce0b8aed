// The main dialog draws its own background and the assigned programs' icons.
#include "Guards.h"
#include "MainDialogPainter.h"
#include "TarvixUtilityDlg.h"
#include "tarvix/resource.h"

void CTarvixUtilityDlg::OnPaint()
{
    const paint_dc dc(m_hWnd);
    PaintPage(dc.get());
}

void CTarvixUtilityDlg::PaintPage(HDC dc)
{
    RECT client;
    GetClientRect(&client);
    CMainDialogPainter::Paint(dc, client.right - client.left, client.bottom - client.top, scale_, buttonIcon[0].get(),
                              buttonIcon[1].get());
}

// Themed controls (the panels' group boxes, the check box) paint the dialog's
// background behind their transparent parts by asking for it with their own
// DC, its origin moved to the dialog's. The dialog's own erase is left to its
// paint, which covers the whole client area.
LRESULT CTarvixUtilityDlg::OnEraseBackground(WPARAM dc, LPARAM)
{
    const HDC target = reinterpret_cast<HDC>(dc);
    if (WindowFromDC(target) != m_hWnd)
        PaintPage(target);
    return TRUE;
}

LRESULT CTarvixUtilityDlg::OnPrintClient(WPARAM dc, LPARAM flags)
{
    if ((flags & PRF_CLIENT) != 0)
        PaintPage(reinterpret_cast<HDC>(dc));
    return 0;
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
    case IDC_MOUSE_PICTURE:  // the control can be a rounded pixel larger than its bitmap
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
