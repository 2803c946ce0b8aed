#pragma once
// A main dialog on fake outside components: the device and the settings
// service are in-test objects that record every call. The device is found
// through COM, the settings are handed to the dialog.
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "ComTestSupport.h"
#include "FakeButtonDevice.h"
#include "FakeSettingsAccess.h"
#include "FakeSettingsService.h"
#include "SettingsConnection.h"
#include "TarvixUtilityDlg.h"
#include "DialogDriving.h"

class MainDialogTest : public testing::Test
{
protected:
    MainDialogTest();
    ~MainDialogTest() override;

    // The functions of every preset pair, each button's own launch and key entries.
    void OfferEveryFunction();
    void OfferSettings();
    void StoreSetting(LONG index, INT32 value) { settings.PutInt(TarvixSettingsSection, index, value); }
    // The stored value, or `missing` when none was written.
    INT32 StoredSetting(LONG index, INT32 missing = -1) const;

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

    ComApartment apartment;
    FakeButtonDevice* device = new FakeButtonDevice();
    FakeClassFactory deviceFactory{device};
    ClassRegistration deviceRegistration{CLSID_SpecialButtonDevice, &deviceFactory, CLSCTX_INPROC_SERVER};
    FakeSettingsService settings;
    FakeSettingsAccess settingsAccess{settings};
    std::unique_ptr<CTarvixUtilityDlg> dialog;
};
