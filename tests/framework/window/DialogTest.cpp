#include <gtest/gtest.h>
#include "support/ComAssert.h"
#include "LanguageModule.h"
#include "support/ModalDriver.h"
#include "TestDialogs.h"
#include "WinApp.h"

namespace {

class Dialogs : public testing::Test
{
protected:
    ScopedLanguageResources resources{GetCurrentModule()};
};

void Click(CDialog& dialog, int id)
{
    ::SendMessageW(::GetDlgItem(dialog.m_hWnd, id), BM_CLICK, 0, 0);
}

TEST_F(Dialogs, DoModalAnswersTheButtonOrTheValueGivenToEndDialog)
{
    CTestDlg ok;
    int focused = 0;
    EXPECT_EQ(IDOK, RunModal(ok, [&focused](CDialog& d) {
                  focused = ::GetDlgCtrlID(DialogFocus(d.m_hWnd));
                  Click(d, IDOK);
              }));
    EXPECT_EQ(IDC_TEST_COMBO, focused);  // OnInitDialog's TRUE: the first control has the focus
    EXPECT_EQ(1, ok.initCount);
    EXPECT_EQ(1, ok.okCount);
    EXPECT_EQ(0, ok.cancelCount);
    EXPECT_EQ(nullptr, ok.m_hWnd);        // the window goes with the modal run
    EXPECT_EQ(nullptr, ok.combo.m_hWnd);  // and the controls let go of theirs

    CTestDlg cancel;
    EXPECT_EQ(IDCANCEL, RunModal(cancel, [](CDialog& d) { Click(d, IDCANCEL); }));
    EXPECT_EQ(1, cancel.cancelCount);
    EXPECT_EQ(0, cancel.okCount);

    CTestDlg custom;
    EXPECT_EQ(42, RunModal(custom, [](CDialog& d) { d.PostMessage(CTestDlg::endMessage, 42); }));

    // The same object runs again.
    EXPECT_EQ(IDOK, RunModal(ok, [](CDialog& d) { Click(d, IDOK); }));
    EXPECT_EQ(2, ok.initCount);
}

TEST_F(Dialogs, EscapeTheCloseBoxAndWmCloseReachOnCancel)
{
    CTestDlg escape;
    EXPECT_EQ(IDCANCEL, RunModal(escape, [](CDialog& d) {
                  d.GotoDlgCtrl(d.GetDlgItem(IDC_TEST_EDIT));
                  ::PostMessageW(DialogFocus(d.m_hWnd), WM_KEYDOWN, VK_ESCAPE, 0x00010001);
              }));
    EXPECT_EQ(1, escape.cancelCount);

    CTestDlg closeBox;
    EXPECT_EQ(IDCANCEL, RunModal(closeBox, [](CDialog& d) { d.PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0); }));
    EXPECT_EQ(1, closeBox.cancelCount);
    for (const auto& call : closeBox.calls)
        EXPECT_NE("base syscommand", call.first);  // passed on, not taken by the base's entry

    CTestDlg close;
    EXPECT_EQ(IDCANCEL, RunModal(close, [](CDialog& d) { d.PostMessage(WM_CLOSE); }));
    EXPECT_EQ(1, close.cancelCount);
}

TEST_F(Dialogs, TheOwnerIsTheParentElseTheMainWindowAndIsDisabledMeanwhile)
{
    CTestDlg parent;
    ASSERT_TRUE(parent.Create());
    parent.ShowWindow(SW_SHOW);

    HWND owner = reinterpret_cast<HWND>(-1);
    BOOL ownerEnabled = TRUE;
    auto look = [&](CDialog& d) {
        owner = ::GetWindow(d.m_hWnd, GW_OWNER);
        ownerEnabled = ::IsWindowEnabled(parent.m_hWnd);
        Click(d, IDOK);
    };

    CTestDlg child(IDD_FRAMEWORK_TEST, &parent);
    EXPECT_EQ(IDOK, RunModal(child, look));
    EXPECT_EQ(parent.m_hWnd, owner);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(parent.IsWindowEnabled());

    CTestDlg orphan;
    EXPECT_EQ(IDOK, RunModal(orphan, look));
    EXPECT_EQ(nullptr, owner);  // no parent, no application

    {
        CWinApp app;
        app.m_pMainWnd = &parent;
        CTestDlg ofMain;
        EXPECT_EQ(IDOK, RunModal(ofMain, look));
        EXPECT_EQ(parent.m_hWnd, owner);
        EXPECT_FALSE(ownerEnabled);
        EXPECT_TRUE(parent.IsWindowEnabled());

        // A dialog that is itself the main window has no owner.
        CTestDlg main;
        app.m_pMainWnd = &main;
        EXPECT_EQ(IDOK, RunModal(main, look));
        EXPECT_EQ(nullptr, owner);
        EXPECT_EQ(nullptr, app.m_pMainWnd);  // cleared when its window went
    }

    // An owner that was disabled before stays disabled.
    parent.EnableWindow(FALSE);
    CTestDlg second(IDD_FRAMEWORK_TEST, &parent);
    EXPECT_EQ(IDOK, RunModal(second, look));
    EXPECT_FALSE(parent.IsWindowEnabled());
    parent.DestroyWindow();
}

TEST_F(Dialogs, AMissingTemplateAnswersMinusOneAndChangesNothing)
{
    CTestDlg parent;
    ASSERT_TRUE(parent.Create());
    CTestDlg missing(IDD_FRAMEWORK_MISSING, &parent);
    EXPECT_EQ(-1, missing.DoModal());
    EXPECT_EQ(0, missing.initCount);
    EXPECT_TRUE(parent.IsWindowEnabled());
    EXPECT_FALSE(missing.Create());
    EXPECT_EQ(nullptr, missing.m_hWnd);
    parent.DestroyWindow();
}

TEST_F(Dialogs, ATemplateWithoutAFontStillRunsOnInitDialog)
{
    CTestDlg dialog(IDD_FRAMEWORK_NO_FONT);
    dialog.editText = L"filled";
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(1, dialog.initCount);
    EXPECT_EQ(CString(L"filled"), dialog.GetDlgItem(IDC_TEST_EDIT)->GetWindowText());
    EXPECT_EQ(nullptr, dialog.combo.m_hWnd);  // the template has no combo box to bind
    dialog.DestroyWindow();
}

TEST_F(Dialogs, TextExchangeCopiesTheTextUnchangedBothWays)
{
    CTestDlg dialog;
    dialog.editText = L"  two  spaces  ";
    ASSERT_TRUE(dialog.Create());
    CWnd* edit = dialog.GetDlgItem(IDC_TEST_EDIT);
    EXPECT_EQ(CString(L"  two  spaces  "), edit->GetWindowText());
    // Filling the field is a change the edit control reports by itself.
    EXPECT_EQ((CallLog{{"edit changed", IDC_TEST_EDIT}}), dialog.calls);

    const CString longText = CString(L' ', 3) + CString(L'x', 5000) + L" ";
    edit->SetWindowText(longText);
    ASSERT_TRUE(dialog.UpdateData(TRUE));
    EXPECT_EQ(longText, dialog.editText);

    edit->SetWindowText(L"");
    dialog.UpdateData(TRUE);
    EXPECT_TRUE(dialog.editText.IsEmpty());
    dialog.DestroyWindow();

    // OnOK reads the controls; OnCancel does not.
    CTestDlg confirmed;
    confirmed.editText = L"before";
    RunModal(confirmed, [](CDialog& d) {
        d.GetDlgItem(IDC_TEST_EDIT)->SetWindowText(L" typed ");
        Click(d, IDOK);
    });
    EXPECT_EQ(CString(L" typed "), confirmed.editText);

    CTestDlg cancelled;
    cancelled.editText = L"before";
    RunModal(cancelled, [](CDialog& d) {
        d.GetDlgItem(IDC_TEST_EDIT)->SetWindowText(L"typed");
        Click(d, IDCANCEL);
    });
    EXPECT_EQ(CString(L"before"), cancelled.editText);
}

TEST_F(Dialogs, ControlExchangeSubclassesTheControlOnce)
{
    CTestDlg dialog;
    ASSERT_TRUE(dialog.Create());
    HWND combo = ::GetDlgItem(dialog.m_hWnd, IDC_TEST_COMBO);
    EXPECT_EQ(combo, dialog.combo.m_hWnd);
    EXPECT_EQ(&dialog.combo, dialog.GetDlgItem(IDC_TEST_COMBO));

    EXPECT_EQ(5, ::SendMessageW(combo, CProbeCombo::probeMessage, 4, 0));
    dialog.UpdateData(FALSE);
    dialog.UpdateData(TRUE);
    EXPECT_EQ(8, ::SendMessageW(combo, CProbeCombo::probeMessage, 7, 0));
    EXPECT_EQ(2, dialog.combo.probes);  // one object in the chain, not three

    // The control's own behaviour stays.
    EXPECT_EQ(0, dialog.combo.AddString(L"first"));
    EXPECT_EQ(1, ::SendMessageW(combo, CB_GETCOUNT, 0, 0));

    dialog.DestroyWindow();
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_EQ(nullptr, dialog.combo.m_hWnd);
}

TEST_F(Dialogs, OneWindowHasOneObjectWhicheverWayItIsAskedFor)
{
    CTestDlg dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.ShowWindow(SW_SHOW);
    HWND edit = ::GetDlgItem(dialog.m_hWnd, IDC_TEST_EDIT);
    CWnd* wrapper = dialog.GetDlgItem(IDC_TEST_EDIT);
    ASSERT_NE(nullptr, wrapper);
    EXPECT_EQ(edit, wrapper->m_hWnd);
    EXPECT_EQ(wrapper, CWnd::FromHandle(edit));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(edit));
    EXPECT_EQ(&dialog, CWnd::FromHandle(dialog.m_hWnd));
    EXPECT_EQ(&dialog, wrapper->GetParent());

    wrapper->SetFocus();
    EXPECT_EQ(wrapper, CWnd::GetFocus());
    dialog.NextDlgCtrl();
    EXPECT_NE(wrapper, CWnd::GetFocus());
    EXPECT_EQ(nullptr, CWnd::FromHandle(nullptr));
    dialog.DestroyWindow();
}

TEST_F(Dialogs, AGoingObjectDestroysTheDialogItMadeButGivesAControlBack)
{
    HWND window = nullptr;
    HWND check = nullptr;
    {
        CTestDlg dialog;
        ASSERT_TRUE(dialog.Create());
        window = dialog.m_hWnd;
        check = ::GetDlgItem(window, IDC_TEST_CHECK);
        {
            CProbeCombo probe;
            ASSERT_TRUE(probe.SubclassWindow(check));
            EXPECT_EQ(1, ::SendMessageW(check, CProbeCombo::probeMessage, 0, 0));
        }
        EXPECT_TRUE(::IsWindow(check));
        EXPECT_EQ(0, ::SendMessageW(check, CProbeCombo::probeMessage, 0, 0));  // the button's own answer
        ::SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
        EXPECT_EQ(BST_CHECKED, ::SendMessageW(check, BM_GETCHECK, 0, 0));
    }
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_FALSE(::IsWindow(check));
}

TEST_F(Dialogs, AHandlersExceptionEndsTheModalRunAndIsRaisedFromDoModal)
{
    CTestDlg parent;
    ASSERT_TRUE(parent.Create());
    CTestDlg dialog(IDD_FRAMEWORK_TEST, &parent);
    EXPECT_COM_ERROR(RunModal(dialog, [](CDialog& d) { d.PostMessage(CTestDlg::throwMessage); }), E_OUTOFMEMORY);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_TRUE(parent.IsWindowEnabled());
    EXPECT_FALSE(CWnd::HasPendingException());
    parent.DestroyWindow();
}

}  // namespace
