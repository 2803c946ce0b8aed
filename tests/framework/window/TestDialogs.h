#pragma once
// Dialog classes of the framework's window tests: a base class and a derived
// one, each with its own message map, so routing and fall-through can be seen.
#include <string>
#include <utility>
#include <vector>
#include "Controls.h"
#include "DataExchange.h"
#include "Dialog.h"
#include "TestDialogIds.h"

// A combo box whose object answers a probe message: proves subclassing.
class CProbeCombo : public CComboBox
{
public:
    static constexpr UINT probeMessage = WM_APP + 30;
    int probes = 0;

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

private:
    static const MessageMapEntry messageEntries[];
    LRESULT OnProbe(WPARAM wParam, LPARAM);
};

// Handlers are recorded as (name, argument) in call order.
using CallLog = std::vector<std::pair<std::string, UINT>>;

class CBaseTestDlg : public CDialog
{
public:
    static constexpr UINT baseOnlyMessage = WM_APP + 1;
    using CDialog::CDialog;
    CallLog calls;

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

private:
    static const MessageMapEntry messageEntries[];
    void OnBaseRange(UINT id) { calls.emplace_back("base range", id); }
    void OnBaseButton() { calls.emplace_back("base button", IDC_TEST_BASE_BUTTON); }
    // Would swallow the messages if the derived map did not pass them on.
    LRESULT OnBaseSysCommand(WPARAM wParam, LPARAM);
    LRESULT OnBaseNcPaint(WPARAM, LPARAM);
    LRESULT OnBaseOnly(WPARAM wParam, LPARAM);
};

class CTestDlg : public CBaseTestDlg
{
public:
    static constexpr UINT throwMessage = WM_APP + 2;
    static constexpr UINT endMessage = WM_APP + 3;
    static constexpr UINT notifyCode = 0xFFFFF000u;
    static UINT registeredMessage;  // "FrameworkTestNotify"

    explicit CTestDlg(UINT templateId = IDD_FRAMEWORK_TEST, CWnd* parent = nullptr) : CBaseTestDlg(templateId, parent)
    {
    }

    CProbeCombo combo;
    CString editText;
    int initCount = 0;
    int okCount = 0;
    int cancelCount = 0;
    // Control-colour calls: kind and control, and the brush to answer for the label.
    std::vector<std::pair<UINT, CWnd*>> colourCalls;
    HBRUSH labelBrush = nullptr;
    HBRUSH lastDefaultBrush = nullptr;
    DWORD registeredThread = 0;
    WPARAM registeredWParam = 0;
    LPARAM registeredLParam = 0;

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

protected:
    void DoDataExchange(CDataExchange* dx) override;
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

private:
    static const MessageMapEntry messageEntries[];
    void OnComboChanged() { calls.emplace_back("combo changed", IDC_TEST_COMBO); }
    void OnRange(UINT id) { calls.emplace_back("range", id); }
    void OnEditChanged() { calls.emplace_back("edit changed", IDC_TEST_EDIT); }
    void OnNotify(NMHDR* header, LRESULT* result);
    HBRUSH OnCtlColor(HDC dc, CWnd* control, UINT kind);
    LRESULT OnThrow(WPARAM, LPARAM);
    LRESULT OnEnd(WPARAM wParam, LPARAM);
    LRESULT OnRegistered(WPARAM wParam, LPARAM lParam);
};
