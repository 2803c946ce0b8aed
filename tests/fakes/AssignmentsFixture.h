#pragma once
// The outside components the assignments talk to, as in-test fakes that record
// every call: the device, found through COM in this test's apartment, and the
// settings service, handed over through settingsAccess. The model tests build
// CAssignments on them, the dialog tests the main dialog.
#include <gtest/gtest.h>
#include "ComTestSupport.h"
#include "FakeButtonDevice.h"
#include "FakeSettingsAccess.h"
#include "FakeSettingsService.h"

class AssignmentsFixture : public testing::Test
{
protected:
    AssignmentsFixture() = default;
    ~AssignmentsFixture() override { device->Release(); }

    // The functions of every preset pair, each button's own launch and key entries.
    void OfferEveryFunction();
    void OfferSettings() { settingsAccess.reachable = true; }
    void StoreSetting(LONG index, INT32 value) { settings.PutInt(TarvixSettingsSection, index, value); }
    // The stored value, or `missing` when none was written (or it is no VT_INT).
    INT32 StoredSetting(LONG index, INT32 missing = -1) const;

    ComApartment apartment;
    FakeButtonDevice* device = new FakeButtonDevice();
    FakeClassFactory deviceFactory{device};
    ClassRegistration deviceRegistration{CLSID_SpecialButtonDevice, &deviceFactory, CLSCTX_INPROC_SERVER};
    FakeSettingsService settings;
    FakeSettingsAccess settingsAccess{settings};
};
