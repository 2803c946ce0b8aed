#pragma once
// A main dialog on fake outside components (see AssignmentsFixture).
#include <memory>
#include <string>
#include "AssignmentsFixture.h"
#include "TarvixUtilityDlg.h"
#include "DialogDriving.h"

class MainDialogTest : public AssignmentsFixture
{
protected:
    MainDialogTest();
    ~MainDialogTest() override;

    // Sets up the buttons and makes the dialog's window (modeless); OnInitDialog has run.
    CTarvixUtilityDlg& Open(const DialogScale& scale = DialogScale{96, 96});

    // What a user does and sees, on this test's dialog (see DialogDriving.h).
    HWND Item(int id) const { return ::Item(*dialog, id); }
    bool Enabled(int id) const { return ::Enabled(*dialog, id); }
    int Selection(int id) const { return ::Selection(*dialog, id); }
    int ItemCount(int id) const { return ::ItemCount(*dialog, id); }
    std::wstring Text(int id) const { return FieldText(*dialog, id); }
    std::wstring ItemText(int id, int item) const { return ::ItemText(*dialog, id, item); }
    void Choose(int listId, int item) { ::Choose(*dialog, listId, item); }
    void Click(int buttonId) { ::Click(*dialog, buttonId); }
    // Client rectangle of a control in the dialog's client coordinates.
    RECT ControlRect(int id) const;

    std::unique_ptr<CTarvixUtilityDlg> dialog;
};
