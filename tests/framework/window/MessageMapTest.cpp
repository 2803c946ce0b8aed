#include <gtest/gtest.h>
#include <set>
#include <thread>
#include "support/ComAssert.h"
#include "Guards.h"
#include "LanguageModule.h"
#include "MessageMap.h"
#include "support/ModalDriver.h"
#include "TestDialogs.h"

namespace {

class MessageMaps : public testing::Test
{
protected:
    ScopedLanguageResources resources{GetCurrentModule()};
    CTestDlg dialog;

    void SetUp() override
    {
        ASSERT_TRUE(dialog.Create());
        dialog.ShowWindow(SW_SHOW);
        dialog.UpdateWindow();
        PumpMessages(dialog.m_hWnd);
        // What filling and showing the dialog caused is not what the tests look at.
        dialog.calls.clear();
        dialog.colourCalls.clear();
    }
    void TearDown() override { dialog.DestroyWindow(); }

    void Command(UINT id, UINT code)
    {
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, code),
                           reinterpret_cast<LPARAM>(::GetDlgItem(dialog.m_hWnd, id)));
    }
};

TEST_F(MessageMaps, CommandsRouteByNotificationCodeAndIdRangeThenFallToTheBase)
{
    Command(IDC_TEST_RANGE_FIRST, BN_CLICKED);
    Command(IDC_TEST_RANGE_MIDDLE, BN_CLICKED);
    Command(IDC_TEST_RANGE_LAST, BN_CLICKED);          // outside the derived range: the base's
    Command(IDC_TEST_BASE_BUTTON, BN_CLICKED);         // only the base maps it
    Command(IDC_TEST_RANGE_MIDDLE, BN_DOUBLECLICKED);  // no entry for this code
    Command(IDC_TEST_COMBO, CBN_SELCHANGE);
    Command(IDC_TEST_COMBO, CBN_DROPDOWN);
    // A real click sends the notification itself.
    ::SendMessageW(::GetDlgItem(dialog.m_hWnd, IDC_TEST_RANGE_MIDDLE), BM_CLICK, 0, 0);

    const CallLog expected = {
        {"range", IDC_TEST_RANGE_FIRST},       {"range", IDC_TEST_RANGE_MIDDLE},  {"base range", IDC_TEST_RANGE_LAST},
        {"base button", IDC_TEST_BASE_BUTTON}, {"combo changed", IDC_TEST_COMBO}, {"range", IDC_TEST_RANGE_MIDDLE},
    };
    EXPECT_EQ(expected, dialog.calls);

    // A plain message entry of the base answers through the derived class's window.
    dialog.calls.clear();
    EXPECT_EQ(5, dialog.SendMessage(CBaseTestDlg::baseOnlyMessage, 9));
    EXPECT_EQ((CallLog{{"base only", 9}}), dialog.calls);
}

TEST_F(MessageMaps, EveryControlColourKindReachesTheOneHandler)
{
    unique_gdi<HBRUSH> labelBrush(::CreateSolidBrush(RGB(1, 2, 3)));
    dialog.labelBrush = labelBrush.get();
    HWND label = ::GetDlgItem(dialog.m_hWnd, IDC_TEST_LABEL);
    const window_dc labelDc(label);
    HDC dc = labelDc.get();

    for (UINT message = WM_CTLCOLORMSGBOX; message <= WM_CTLCOLORSTATIC; ++message) {
        const LRESULT brush = dialog.SendMessage(message, reinterpret_cast<WPARAM>(dc),
                                                 reinterpret_cast<LPARAM>(label));
        EXPECT_EQ(reinterpret_cast<LRESULT>(labelBrush.get()), brush) << "message " << message;
    }
    ASSERT_EQ(7u, dialog.colourCalls.size());
    for (UINT kind = 0; kind < 7; ++kind) {
        EXPECT_EQ(kind, dialog.colourCalls[kind].first);
        EXPECT_EQ(dialog.GetDlgItem(IDC_TEST_LABEL), dialog.colourCalls[kind].second);
    }
    EXPECT_EQ(static_cast<UINT>(CTLCOLOR_STATIC), dialog.colourCalls.back().first);

    // For other controls the handler answers the dialog's default brush.
    HWND edit = ::GetDlgItem(dialog.m_hWnd, IDC_TEST_EDIT);
    const LRESULT editBrush = dialog.SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                                 reinterpret_cast<LPARAM>(edit));
    const LRESULT expectedDefault = ::DefDlgProcW(dialog.m_hWnd, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                                  reinterpret_cast<LPARAM>(edit));
    EXPECT_NE(0, expectedDefault);
    EXPECT_EQ(expectedDefault, editBrush);

    // Painting sends the kinds by itself.
    dialog.colourCalls.clear();
    ::RedrawWindow(dialog.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    std::set<UINT> kinds;
    for (const auto& call : dialog.colourCalls)
        kinds.insert(call.first);
    for (UINT kind : {CTLCOLOR_DLG, CTLCOLOR_STATIC, CTLCOLOR_BTN, CTLCOLOR_EDIT, CTLCOLOR_LISTBOX})
        EXPECT_EQ(1u, kinds.count(kind)) << "kind " << kind;
    dialog.labelBrush = nullptr;
}

TEST_F(MessageMaps, NotifyRoutesByCodeAndSenderId)
{
    NMHDR header{::GetDlgItem(dialog.m_hWnd, IDC_TEST_LIST), IDC_TEST_LIST, CTestDlg::notifyCode};
    EXPECT_EQ(42, dialog.SendMessage(WM_NOTIFY, IDC_TEST_LIST, reinterpret_cast<LPARAM>(&header)));
    NMHDR otherCode{header.hwndFrom, IDC_TEST_LIST, CTestDlg::notifyCode + 1};
    EXPECT_EQ(0, dialog.SendMessage(WM_NOTIFY, IDC_TEST_LIST, reinterpret_cast<LPARAM>(&otherCode)));
    NMHDR otherId{header.hwndFrom, IDC_TEST_COMBO, CTestDlg::notifyCode};
    EXPECT_EQ(0, dialog.SendMessage(WM_NOTIFY, IDC_TEST_COMBO, reinterpret_cast<LPARAM>(&otherId)));
    EXPECT_EQ((CallLog{{"notify", IDC_TEST_LIST}}), dialog.calls);
}

TEST_F(MessageMaps, RegisteredMessagePostedByAWorkerIsHandledOnTheWindowsThread)
{
    ASSERT_NE(0u, CTestDlg::registeredMessage);
    HWND target = dialog.m_hWnd;
    std::thread worker([target] { ::PostMessageW(target, CTestDlg::registeredMessage, 7, 9); });
    worker.join();  // PostMessage has returned: the message waits in this thread's queue
    PumpMessages(dialog.m_hWnd);
    EXPECT_EQ(::GetCurrentThreadId(), dialog.registeredThread);
    EXPECT_EQ(7u, dialog.registeredWParam);
    EXPECT_EQ(9, dialog.registeredLParam);
}

TEST_F(MessageMaps, HandlerExceptionIsRaisedAtTheSenderAndTheWindowGoesOn)
{
    EXPECT_COM_ERROR(dialog.SendMessage(CTestDlg::throwMessage), E_OUTOFMEMORY);
    EXPECT_FALSE(CWnd::HasPendingException());
    EXPECT_TRUE(dialog.IsWindow());
    EXPECT_EQ(5, dialog.SendMessage(CBaseTestDlg::baseOnlyMessage, 1));
}

// A window class whose own procedure records what default processing receives.
struct Received
{
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Received& other) const
    {
        return message == other.message && wParam == other.wParam && lParam == other.lParam;
    }
};
std::vector<Received> received;

LRESULT CALLBACK RecorderProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SYSCOMMAND || message == WM_NCPAINT || message >= WM_APP) {
        received.push_back({message, wParam, lParam});
        return 0x51;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

class CSwallowingWnd : public CWnd
{
public:
    static constexpr UINT baseMessage = WM_APP + 7;
    int swallowed = 0;

protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

private:
    static const MessageMapEntry messageEntries[];
    LRESULT OnSwallow(WPARAM, LPARAM)
    {
        ++swallowed;
        return 3;
    }
};
const MessageMapEntry CSwallowingWnd::messageEntries[] = {
    MapMessage<&CSwallowingWnd::OnSwallow>(WM_SYSCOMMAND),
    MapMessage<&CSwallowingWnd::OnSwallow>(WM_NCPAINT),
    MapMessage<&CSwallowingWnd::OnSwallow>(baseMessage),
};
const MessageMap CSwallowingWnd::messageMap = MakeMessageMap(&CWnd::messageMap, CSwallowingWnd::messageEntries);

class CPassingWnd : public CSwallowingWnd
{
protected:
    static const MessageMap messageMap;
    const MessageMap* GetMessageMap() const override { return &messageMap; }

private:
    static const MessageMapEntry messageEntries[];
};
const MessageMapEntry CPassingWnd::messageEntries[] = {
    MapDefault(WM_SYSCOMMAND),
    MapDefault(WM_NCPAINT),
};
const MessageMap CPassingWnd::messageMap = MakeMessageMap(&CSwallowingWnd::messageMap, CPassingWnd::messageEntries);

TEST(MessageMapDefaults, PassedOnMessagesReachTheWindowsOwnProcedureUnchanged)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &RecorderProcedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"FrameworkTestRecorder";
    ::RegisterClassW(&windowClass);
    HWND hwnd = ::CreateWindowExW(0, L"FrameworkTestRecorder", L"", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                  nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, hwnd);
    received.clear();
    {
        CPassingWnd window;
        ASSERT_TRUE(window.SubclassWindow(hwnd));
        EXPECT_FALSE(CPassingWnd().SubclassWindow(hwnd));  // one object per window
        EXPECT_EQ(&window, CWnd::FromHandle(hwnd));

        EXPECT_EQ(0x51, window.SendMessage(WM_SYSCOMMAND, SC_KEYMENU, 0x61));
        EXPECT_EQ(0x51, window.SendMessage(WM_NCPAINT, 1, 0x1234));
        EXPECT_EQ(3, window.SendMessage(CSwallowingWnd::baseMessage, 5, 6));  // the base's own entry
        EXPECT_EQ(0x51, window.SendMessage(WM_APP + 8, 10, 11));              // in no map
        const std::vector<Received> expected = {
            {WM_SYSCOMMAND, SC_KEYMENU, 0x61}, {WM_NCPAINT, 1, 0x1234}, {WM_APP + 8, 10, 11}};
        EXPECT_EQ(expected, received);
        EXPECT_EQ(1, window.swallowed);

        // Given back, the window's own procedure sees everything again.
        EXPECT_EQ(hwnd, window.UnsubclassWindow());
        EXPECT_EQ(nullptr, window.m_hWnd);
        received.clear();
        EXPECT_EQ(0x51, ::SendMessageW(hwnd, CSwallowingWnd::baseMessage, 5, 6));
        EXPECT_EQ((std::vector<Received>{{CSwallowingWnd::baseMessage, 5, 6}}), received);
    }
    EXPECT_TRUE(::IsWindow(hwnd));  // an object that only subclassed does not destroy the window
    ::DestroyWindow(hwnd);
}

}  // namespace
