#include "MainDialogFixture.h"
#include "support/ModalDriver.h"
#include "tarvix/resource.h"

MainDialogTest::MainDialogTest()
{
    device->assigned = {{1, 58}, {2, 59}};
}

MainDialogTest::~MainDialogTest()
{
    // The window goes before the fakes it talks to.
    if (dialog && dialog->IsWindow())
        dialog->DestroyWindow();
    dialog.reset();
}

CTarvixUtilityDlg& MainDialogTest::Open(const DialogScale& scale)
{
    dialog.reset(new CTarvixUtilityDlg(settingsAccess.access, scale));
    EXPECT_TRUE(dialog->InitializeButtons(false));
    EXPECT_TRUE(dialog->Create());
    PumpMessages(dialog->m_hWnd);
    return *dialog;
}

RECT MainDialogTest::ControlRect(int id) const
{
    RECT rect{};
    GetWindowRect(Item(id), &rect);
    MapWindowPoints(nullptr, dialog->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}
