#include <gtest/gtest.h>
#include "support/RowTrace.h"
#include <algorithm>
#include <string>
#include <vector>
#include "ComTestSupport.h"
#include "Assignments.h"
#include "FakeButtonDevice.h"
#include "FakeSettingsAccess.h"
#include "FakeSettingsService.h"

namespace {

using Calls = std::vector<std::string>;
const std::string section = Narrow(TarvixSettingsSection);

size_t Position(const Calls& calls, const std::string& call)
{
    return static_cast<size_t>(std::find(calls.begin(), calls.end(), call) - calls.begin());
}

// The assignments find the fake device through COM and are handed the fake
// settings; everything stays inside this test's apartment.
class AssignmentsTest : public testing::Test
{
protected:
    AssignmentsTest()
    {
        device->Add(58, L"Copy");
        device->Add(59, L"Paste");
        device->Add(101, L"", 1);
        device->Add(102, L"", 1);
        device->Add(201, L"", 0);
        device->Add(202, L"", 0);
        device->assigned = {{1, 51}, {2, 50}, {3, 66}};
    }
    ~AssignmentsTest() override { device->Release(); }

    void OfferSettings() { access.reachable = true; }

    ComApartment apartment;
    FakeButtonDevice* device = new FakeButtonDevice();
    FakeClassFactory deviceFactory{device};
    ClassRegistration deviceRegistration{CLSID_SpecialButtonDevice, &deviceFactory, CLSCTX_INPROC_SERVER};
    FakeSettingsService settings;
    FakeSettingsAccess access{settings};
};

TEST_F(AssignmentsTest, SilentRunAppliesTheDefaultsAndRecordsThatAPresetIsInUse)
{
    OfferSettings();
    {
        CAssignments model(access.access);
        ASSERT_TRUE(model.Initialize(true));
        EXPECT_EQ(2, model.ButtonCount());
        ASSERT_TRUE(model.Button(0) && model.Button(1));
        EXPECT_EQ(1, model.Button(0)->data.buttonId);
        EXPECT_EQ(2, model.Button(1)->data.buttonId);
        EXPECT_EQ(58u, model.Button(0)->GetAssignedFunctionId());
        EXPECT_EQ(59u, model.Button(1)->GetAssignedFunctionId());
        EXPECT_EQ(4, model.Button(0)->GetFunctionCount());  // Copy, Paste, own launch, own keys
    }
    EXPECT_EQ(1, device->References()) << "the assignments keep the device";

    const Calls& calls = device->calls;
    ASSERT_GE(calls.size(), 7u);
    EXPECT_EQ((Calls{"Prepare(2)", "NextButton", "GetButtonInfo(1)", "NextButton", "GetButtonInfo(2)", "NextButton",
                     "BeginRead"}),
              Calls(calls.begin(), calls.begin() + 7));
    EXPECT_EQ((Calls{"SetAssignedFunction(1,58)", "SetAssignedFunction(2,59)"}), device->CallsStartingWith("Set"));
    // Each button is loaded, then applied, before the next one is read.
    EXPECT_LT(Position(calls, "GetApplicationFunction(1)"), Position(calls, "SetAssignedFunction(1,58)"));
    EXPECT_LT(Position(calls, "SetAssignedFunction(1,58)"), Position(calls, "GetAssignedFunction(2)"));
    EXPECT_EQ(2u, device->CallsStartingWith("BeginRead").size());

    EXPECT_EQ((Calls{"SetValue(" + section + ",1,VT_INT=1)", "Commit"}), settings.calls);
}

TEST_F(AssignmentsTest, NormalRunOnlyLoads)
{
    OfferSettings();
    CAssignments model(access.access);
    ASSERT_TRUE(model.Initialize(false));
    EXPECT_EQ(51u, model.Button(0)->GetAssignedFunctionId());
    EXPECT_EQ(50u, model.Button(1)->GetAssignedFunctionId());
    EXPECT_TRUE(device->CallsStartingWith("Set").empty());
    EXPECT_EQ(0, access.connects);
}

TEST_F(AssignmentsTest, FailsWithoutDeviceOrButtonsAndThenWritesNothing)
{
    OfferSettings();
    {
        deviceFactory.Fail(REGDB_E_CLASSNOTREG);
        CAssignments model(access.access);
        EXPECT_FALSE(model.Initialize(true));
        EXPECT_TRUE(device->calls.empty());
        deviceFactory.Fail(S_OK);
    }
    {
        device->failing.insert("Prepare");
        CAssignments model(access.access);
        EXPECT_FALSE(model.Initialize(true));
        EXPECT_EQ((Calls{"Prepare(2)"}), device->calls);
        device->failing.clear();
    }
    {
        device->calls.clear();
        device->buttons.clear();
        CAssignments model(access.access);
        EXPECT_FALSE(model.Initialize(true));
        EXPECT_EQ((Calls{"Prepare(2)", "NextButton"}), device->calls);
        EXPECT_EQ(0, model.ButtonCount());
        EXPECT_EQ(nullptr, model.Button(0));
    }
    EXPECT_TRUE(settings.calls.empty());
}

TEST_F(AssignmentsTest, AButtonThatFailsToLoadFailsTheSetUpAfterEveryButtonWasLoaded)
{
    OfferSettings();
    device->assigned.erase(1);  // the device cannot tell button 1's assignment
    CAssignments model(access.access);
    EXPECT_FALSE(model.Initialize(true));
    ASSERT_TRUE(model.Button(0) && model.Button(1));
    EXPECT_EQ(0u, model.Button(0)->data.applicationFunctionId);    // button 1 stopped early
    EXPECT_EQ(102u, model.Button(1)->data.applicationFunctionId);  // button 2 was loaded in full
    EXPECT_EQ(2u, device->CallsStartingWith("BeginRead").size());
    // The silent run still applies both defaults and records the preset.
    EXPECT_EQ((Calls{"SetAssignedFunction(1,58)", "SetAssignedFunction(2,59)"}), device->CallsStartingWith("Set"));
    EXPECT_EQ((Calls{"SetValue(" + section + ",1,VT_INT=1)", "Commit"}), settings.calls);
}

TEST_F(AssignmentsTest, OfThreeButtonsTheFirstTwoAreSetUp)
{
    device->buttons = {1, 2, 3};
    CAssignments model(access.access);
    ASSERT_TRUE(model.Initialize(true));
    EXPECT_EQ(3, model.ButtonCount());
    EXPECT_EQ(1u, device->CallsStartingWith("GetButtonInfo(3)").size());
    EXPECT_EQ(2u, device->CallsStartingWith("BeginRead").size());
    EXPECT_TRUE(device->CallsStartingWith("GetAssignedFunction(3)").empty());
    EXPECT_EQ((Calls{"SetAssignedFunction(1,58)", "SetAssignedFunction(2,59)"}), device->CallsStartingWith("Set"));
}

TEST_F(AssignmentsTest, SilentRunWithoutSettingsServiceStillAppliesTheButtons)
{
    CAssignments model(access.access);
    ASSERT_TRUE(model.Initialize(true));
    EXPECT_EQ((Calls{"SetAssignedFunction(1,58)", "SetAssignedFunction(2,59)"}), device->CallsStartingWith("Set"));
    EXPECT_EQ(1, access.connects);
    EXPECT_TRUE(settings.calls.empty());

    // Set up again: a fresh set of controllers, the count not doubled.
    ASSERT_TRUE(model.Initialize(false));
    EXPECT_EQ(2, model.ButtonCount());
}

} // namespace

namespace {

INT32 Stored(const FakeSettingsService& service, LONG index)
{
    if (!service.Has(TarvixSettingsSection, index))
        return -1;
    VARIANT value = service.Stored(TarvixSettingsSection, index);
    const INT32 result = V_VT(&value) == VT_INT ? V_INT(&value) : -2;
    VariantClear(&value);
    return result;
}

const _SPECIAL_BUTTON_INFO* EntryOf(const CAssignments& model, int button, UINT32 functionId)
{
    const SpecialButtonFunctions* functions = model.Functions(button);
    for (INT_PTR i = 0; functions != nullptr && i < functions->GetSize(); ++i)
        if ((*functions)[i].functionId == functionId)
            return &(*functions)[i];
    return nullptr;
}

} // namespace

TEST_F(AssignmentsTest, StartModeFollowsTheStoredModeAndThePairAndApplyWritesWhatWasRead)
{
    const struct
    {
        const char* name;
        INT32 stored;  // index 1, -1: never stored
        bool readFails;
        UINT32 function0, function1;
        bool preset;
        INT32 afterApply;  // index 1, -1: absent
    } rows[] = {
        {"a stored preset with its pair", 1, false, 58, 59, true, 1},
        {"stored own mode with a preset's pair", 0, false, 58, 59, false, 0},
        {"a stored preset without a listed pair", 1, false, 51, 50, false, 0},
        {"never stored: read with the default", -1, false, 58, 59, false, 0},
        {"a failed read is not overwritten", 1, true, 58, 59, false, 1},
    };
    for (const auto& row : rows) {
        ROW_TRACE(row.name);
        FakeSettingsService service;
        if (row.stored >= 0)
            service.PutInt(TarvixSettingsSection, SettingsIndex::PresetActive, row.stored);
        if (row.readFails)
            service.failing.insert("GetValue");
        FakeSettingsAccess rowAccess(service);
        rowAccess.reachable = true;
        device->assigned = {{1, row.function0}, {2, row.function1}};

        CAssignments model(rowAccess.access);
        ASSERT_TRUE(model.Initialize(false));
        model.LoadSettings();
        int selection = -1;
        const std::vector<const PresetEntry*> listed = model.ListPresets(selection);
        // Both buttons offer 58 and 59 only: preset 1 and the own-settings entry.
        ASSERT_EQ(2u, listed.size());
        EXPECT_EQ(&presetTable[defaultPreset], listed[0]);
        EXPECT_EQ(&presetTable[ownSettingsPreset], listed[1]);
        EXPECT_EQ(row.preset, model.PresetActive());
        EXPECT_EQ(row.preset ? 0 : 1, selection);

        model.Apply();
        EXPECT_EQ(row.afterApply, Stored(service, SettingsIndex::PresetActive));
    }
}

TEST_F(AssignmentsTest, APresetKeepsTheOwnChoicesThatOwnModeRestores)
{
    OfferSettings();
    device->assigned = {{1, 59}, {2, 58}};
    CAssignments model(access.access);
    ASSERT_TRUE(model.Initialize(false));
    model.LoadSettings();  // nothing stored
    int selection = -1;
    (void)model.ListPresets(selection);
    const _SPECIAL_BUTTON_INFO* copy = EntryOf(model, 0, 58);
    ASSERT_NE(nullptr, copy);
    model.ChooseFunction(0, *copy);
    EXPECT_EQ(58u, model.Data(0)->assignedFunctionId);

    model.ChoosePreset(&presetTable[defaultPreset]);
    EXPECT_TRUE(model.PresetActive());
    EXPECT_EQ(58u, model.Data(0)->assignedFunctionId);
    EXPECT_EQ(59u, model.Data(1)->assignedFunctionId);
    EXPECT_EQ(58u, model.CustomFunctionId(0)) << "a preset never changes the own choice";

    model.ChoosePreset(nullptr);
    EXPECT_FALSE(model.PresetActive());
    EXPECT_EQ(58u, model.Data(0)->assignedFunctionId);
    EXPECT_EQ(58u, model.Data(1)->assignedFunctionId) << "never chosen, never stored: as it was at the start";
    EXPECT_TRUE(device->CallsStartingWith("Set").empty()) << "nothing reaches the device before Apply";

    model.Apply();
    EXPECT_EQ((Calls{"SetAssignedFunction(1,58)", "SetAssignedFunction(2,58)"}), device->CallsStartingWith("Set"));
    EXPECT_EQ(0, Stored(settings, SettingsIndex::PresetActive));
    EXPECT_EQ(58, Stored(settings, SettingsIndex::CustomFunction0));
    EXPECT_EQ(58, Stored(settings, SettingsIndex::CustomFunction1));
    EXPECT_EQ(-1, Stored(settings, SettingsIndex::Option)) << "the option was never read nor set";
}
