#include "TestDialogs.h"
#include "ComException.h"
#include "MessageMap.h"

UINT CTestDlg::registeredMessage = ::RegisterWindowMessageW(L"FrameworkTestNotify");

const MessageMapEntry CProbeCombo::messageEntries[] = {
    MapMessage<&CProbeCombo::OnProbe>(probeMessage),
};
const MessageMap CProbeCombo::messageMap = MakeMessageMap(&CComboBox::messageMap, CProbeCombo::messageEntries);

LRESULT CProbeCombo::OnProbe(WPARAM wParam, LPARAM)
{
    ++probes;
    return static_cast<LRESULT>(wParam) + 1;
}

const MessageMapEntry CBaseTestDlg::messageEntries[] = {
    MapCommandRange<&CBaseTestDlg::OnBaseRange>(BN_CLICKED, IDC_TEST_RANGE_FIRST, IDC_TEST_RANGE_LAST),
    MapCommand<&CBaseTestDlg::OnBaseButton>(BN_CLICKED, IDC_TEST_BASE_BUTTON),
    MapMessage<&CBaseTestDlg::OnBaseSysCommand>(WM_SYSCOMMAND),
    MapMessage<&CBaseTestDlg::OnBaseNcPaint>(WM_NCPAINT),
    MapMessage<&CBaseTestDlg::OnBaseOnly>(baseOnlyMessage),
};
const MessageMap CBaseTestDlg::messageMap = MakeMessageMap(&CDialog::messageMap, CBaseTestDlg::messageEntries);

LRESULT CBaseTestDlg::OnBaseSysCommand(WPARAM wParam, LPARAM)
{
    calls.emplace_back("base syscommand", static_cast<UINT>(wParam));
    return 0;
}

LRESULT CBaseTestDlg::OnBaseNcPaint(WPARAM, LPARAM)
{
    calls.emplace_back("base ncpaint", 0);
    return 0;
}

LRESULT CBaseTestDlg::OnBaseOnly(WPARAM wParam, LPARAM)
{
    calls.emplace_back("base only", static_cast<UINT>(wParam));
    return 5;
}

const MessageMapEntry CTestDlg::messageEntries[] = {
    MapDefault(WM_SYSCOMMAND),
    MapCtlColor<&CTestDlg::OnCtlColor>(),
    MapCommand<&CTestDlg::OnComboChanged>(CBN_SELCHANGE, IDC_TEST_COMBO),
    MapCommandRange<&CTestDlg::OnRange>(BN_CLICKED, IDC_TEST_RANGE_FIRST, IDC_TEST_RANGE_MIDDLE),
    MapCommand<&CTestDlg::OnEditChanged>(EN_CHANGE, IDC_TEST_EDIT),
    MapNotify<&CTestDlg::OnNotify>(notifyCode, IDC_TEST_LIST),
    MapMessage<&CTestDlg::OnThrow>(throwMessage),
    MapMessage<&CTestDlg::OnEnd>(endMessage),
    MapRegisteredMessage<&CTestDlg::OnRegistered>(&CTestDlg::registeredMessage),
    MapDefault(WM_NCPAINT),
};
const MessageMap CTestDlg::messageMap = MakeMessageMap(&CBaseTestDlg::messageMap, CTestDlg::messageEntries);

BOOL CTestDlg::OnInitDialog()
{
    ++initCount;
    return CBaseTestDlg::OnInitDialog();
}

void CTestDlg::OnOK()
{
    ++okCount;
    CBaseTestDlg::OnOK();
}

void CTestDlg::OnCancel()
{
    ++cancelCount;
    CBaseTestDlg::OnCancel();
}

void CTestDlg::DoDataExchange(CDataExchange* dx)
{
    DDX_Control(dx, IDC_TEST_COMBO, combo);
    DDX_Text(dx, IDC_TEST_EDIT, editText);
}

void CTestDlg::OnNotify(NMHDR* header, LRESULT* result)
{
    calls.emplace_back("notify", static_cast<UINT>(header->idFrom));
    *result = 42;
}

HBRUSH CTestDlg::OnCtlColor(HDC dc, CWnd* control, UINT kind)
{
    colourCalls.emplace_back(kind, control);
    HBRUSH brush = CBaseTestDlg::OnCtlColor(dc, control, kind);
    lastDefaultBrush = brush;
    if (control != nullptr && control->GetDlgCtrlID() == IDC_TEST_LABEL && labelBrush != nullptr)
        return labelBrush;
    return brush;
}

LRESULT CTestDlg::OnThrow(WPARAM, LPARAM)
{
    ThrowComError(E_OUTOFMEMORY);
}

LRESULT CTestDlg::OnEnd(WPARAM wParam, LPARAM)
{
    EndDialog(static_cast<int>(wParam));
    return 0;
}

LRESULT CTestDlg::OnRegistered(WPARAM wParam, LPARAM lParam)
{
    registeredThread = ::GetCurrentThreadId();
    registeredWParam = wParam;
    registeredLParam = lParam;
    return 0;
}
