#include <gtest/gtest.h>
#include "support/RowTrace.h"
#include <algorithm>
#include <string>
#include <vector>
#include "Assignments.h"
#include "AssignmentsFixture.h"

namespace {

using Calls = std::vector<std::string>;
const std::string section = Narrow(TarvixSettingsSection);

size_t Position(const Calls& calls, const std::string& call)
{
    return static_cast<size_t>(std::find(calls.begin(), calls.end(), call) - calls.begin());
}

// The assignments find the fake device through COM and are handed the fake
// settings; everything stays inside this test's apartment.
class AssignmentsTest : public AssignmentsFixture
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
};

TEST_F(AssignmentsTest, SilentRunAppliesTheDefaultsAndRecordsThatAPresetIsInUse)
{
    OfferSettings();
    {
        CAssignments model(settingsAccess.access);
        ASSERT_TRUE(model.Initialize(true));
        EXPECT_EQ(2, model.ButtonCount());
        EXPECT_EQ(1, model.Record(0).buttonId);
        EXPECT_EQ(2, model.Record(1).buttonId);
        EXPECT_EQ(58u, model.Record(0).assignedFunctionId);
        EXPECT_EQ(59u, model.Record(1).assignedFunctionId);
        EXPECT_EQ(4u, model.View(0).items.size());  // Copy, Paste, own launch, own keys
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
    CAssignments model(settingsAccess.access);
    ASSERT_TRUE(model.Initialize(false));
    EXPECT_EQ(51u, model.Record(0).assignedFunctionId);
    EXPECT_EQ(50u, model.Record(1).assignedFunctionId);
    EXPECT_TRUE(device->CallsStartingWith("Set").empty());
    EXPECT_EQ(0, settingsAccess.connects);
}

TEST_F(AssignmentsTest, FailsWithoutDeviceOrButtonsAndThenWritesNothing)
{
    OfferSettings();
    {
        deviceFactory.Fail(REGDB_E_CLASSNOTREG);
        CAssignments model(settingsAccess.access);
        EXPECT_FALSE(model.Initialize(true));
        EXPECT_TRUE(device->calls.empty());
        deviceFactory.Fail(S_OK);
    }
    {
        device->failing.insert("Prepare");
        CAssignments model(settingsAccess.access);
        EXPECT_FALSE(model.Initialize(true));
        EXPECT_EQ((Calls{"Prepare(2)"}), device->calls);
        device->failing.clear();
    }
    {
        device->calls.clear();
        device->buttons.clear();
        CAssignments model(settingsAccess.access);
        EXPECT_FALSE(model.Initialize(true));
        EXPECT_EQ((Calls{"Prepare(2)", "NextButton"}), device->calls);
        EXPECT_EQ(0, model.ButtonCount());
        EXPECT_EQ(0, model.Record(0).buttonId);
        EXPECT_TRUE(model.View(0).items.empty());
    }
    EXPECT_TRUE(settings.calls.empty());
}

TEST_F(AssignmentsTest, AButtonThatFailsToLoadFailsTheSetUpAfterEveryButtonWasLoaded)
{
    OfferSettings();
    device->assigned.erase(1);  // the device cannot tell button 1's assignment
    CAssignments model(settingsAccess.access);
    EXPECT_FALSE(model.Initialize(true));
    EXPECT_EQ(1, model.Record(0).buttonId);
    EXPECT_EQ(2, model.Record(1).buttonId);
    EXPECT_EQ(0u, model.Record(0).applicationFunctionId);    // button 1 stopped early
    EXPECT_EQ(102u, model.Record(1).applicationFunctionId);  // button 2 was loaded in full
    EXPECT_EQ(2u, device->CallsStartingWith("BeginRead").size());
    // The silent run still applies both defaults and records the preset.
    EXPECT_EQ((Calls{"SetAssignedFunction(1,58)", "SetAssignedFunction(2,59)"}), device->CallsStartingWith("Set"));
    EXPECT_EQ((Calls{"SetValue(" + section + ",1,VT_INT=1)", "Commit"}), settings.calls);
}

TEST_F(AssignmentsTest, OfThreeButtonsTheFirstTwoAreSetUp)
{
    device->buttons = {1, 2, 3};
    CAssignments model(settingsAccess.access);
    ASSERT_TRUE(model.Initialize(true));
    EXPECT_EQ(3, model.ButtonCount());
    EXPECT_EQ(1u, device->CallsStartingWith("GetButtonInfo(3)").size());
    EXPECT_EQ(2u, device->CallsStartingWith("BeginRead").size());
    EXPECT_TRUE(device->CallsStartingWith("GetAssignedFunction(3)").empty());
    EXPECT_EQ((Calls{"SetAssignedFunction(1,58)", "SetAssignedFunction(2,59)"}), device->CallsStartingWith("Set"));
}

TEST_F(AssignmentsTest, SilentRunWithoutSettingsServiceStillAppliesTheButtons)
{
    CAssignments model(settingsAccess.access);
    ASSERT_TRUE(model.Initialize(true));
    EXPECT_EQ((Calls{"SetAssignedFunction(1,58)", "SetAssignedFunction(2,59)"}), device->CallsStartingWith("Set"));
    EXPECT_EQ(1, settingsAccess.connects);
    EXPECT_TRUE(settings.calls.empty());

    // Set up again: a fresh set of controllers, the count not doubled.
    ASSERT_TRUE(model.Initialize(false));
    EXPECT_EQ(2, model.ButtonCount());
}

}  // namespace

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

// The item of `button`'s list named `name`; -1 when none is.
int ItemOf(const CAssignments& model, int button, const wchar_t* name)
{
    const std::vector<CString> items = model.View(button).items;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == name)
            return static_cast<int>(i);
    return -1;
}

}  // namespace

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
        model.Start();
        const PresetListView presets = model.Presets();
        // Both buttons offer 58 and 59 only: preset 1 and the own-settings entry.
        EXPECT_EQ((std::vector<UINT>{presetTable[defaultPreset].nameId, presetTable[ownSettingsPreset].nameId}),
                  presets.names);
        EXPECT_EQ(row.preset, model.PresetActive());
        EXPECT_EQ(row.preset ? 0 : 1, presets.selected);
        // Each list shows what the device holds, enabled in own mode only.
        for (int button = 0; button < 2; ++button) {
            const ButtonView view = model.View(button);
            EXPECT_EQ(row.function0 == 58 ? (button == 0 ? L"Copy" : L"Paste") : L"Copy",
                      std::wstring(view.items[static_cast<size_t>(view.selected)].GetString()));
            EXPECT_EQ(!row.preset, view.listEnabled);
        }

        model.Apply();
        EXPECT_EQ(row.afterApply, Stored(service, SettingsIndex::PresetActive));
    }
}

TEST_F(AssignmentsTest, APresetKeepsTheOwnChoicesThatOwnModeRestores)
{
    OfferSettings();
    device->assigned = {{1, 59}, {2, 58}};
    CAssignments model(settingsAccess.access);
    ASSERT_TRUE(model.Initialize(false));
    model.Start();  // nothing stored
    const int copy = ItemOf(model, 0, L"Copy");
    ASSERT_GE(copy, 0);
    EXPECT_TRUE(model.ChooseFunction(0, copy));
    EXPECT_FALSE(model.ChooseFunction(0, copy)) << "the item shown already";
    EXPECT_FALSE(model.ChooseFunction(0, 99)) << "no such item";
    EXPECT_EQ(58u, model.Record(0).assignedFunctionId);

    ASSERT_EQ(presetTable[defaultPreset].nameId, model.Presets().names[0]);
    EXPECT_TRUE(model.ChoosePreset(0));
    EXPECT_TRUE(model.PresetActive());
    EXPECT_FALSE(model.View(0).listEnabled);
    EXPECT_EQ(58u, model.Record(0).assignedFunctionId);
    EXPECT_EQ(59u, model.Record(1).assignedFunctionId);
    EXPECT_EQ(58u, model.CustomFunctionId(0)) << "a preset never changes the own choice";

    EXPECT_TRUE(model.ChoosePreset(1));  // the own-settings entry
    EXPECT_FALSE(model.PresetActive());
    EXPECT_TRUE(model.View(0).listEnabled);
    EXPECT_EQ(58u, model.Record(0).assignedFunctionId);
    EXPECT_EQ(58u, model.Record(1).assignedFunctionId) << "never chosen, never stored: as it was at the start";
    EXPECT_TRUE(device->CallsStartingWith("Set").empty()) << "nothing reaches the device before Apply";

    model.Apply();
    EXPECT_EQ((Calls{"SetAssignedFunction(1,58)", "SetAssignedFunction(2,58)"}), device->CallsStartingWith("Set"));
    EXPECT_EQ(0, Stored(settings, SettingsIndex::PresetActive));
    EXPECT_EQ(58, Stored(settings, SettingsIndex::CustomFunction0));
    EXPECT_EQ(58, Stored(settings, SettingsIndex::CustomFunction1));
    EXPECT_EQ(-1, Stored(settings, SettingsIndex::Option)) << "the option was never read nor set";
}
