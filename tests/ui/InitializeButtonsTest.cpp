#include <gtest/gtest.h>
#include <algorithm>
#include <string>
#include <vector>
#include "ComTestSupport.h"
#include "MainDialogFixture.h"

namespace {

using Calls = std::vector<std::string>;
const std::string section = Narrow(TarvixSettingsSection);

size_t Position(const Calls& calls, const std::string& call)
{
    return static_cast<size_t>(std::find(calls.begin(), calls.end(), call) - calls.begin());
}

// The dialog finds the fake device through COM, the settings fakes through the
// connection; everything stays inside this test's apartment.
class InitializeButtonsTest : public MainDialogTest
{
protected:
    InitializeButtonsTest()
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

TEST_F(InitializeButtonsTest, SilentRunAppliesTheDefaultsAndRecordsThatAPresetIsInUse)
{
    OfferSettings();
    {
        CTarvixUtilityDlg dialog;
        ASSERT_TRUE(dialog.InitializeButtons(0, true));
        EXPECT_EQ(2, dialog.buttonCount);
        ASSERT_TRUE(dialog.buttons[0] && dialog.buttons[1]);
        EXPECT_EQ(1, dialog.buttons[0]->data.buttonId);
        EXPECT_EQ(2, dialog.buttons[1]->data.buttonId);
        EXPECT_EQ(58u, dialog.buttons[0]->GetAssignedFunctionId());
        EXPECT_EQ(59u, dialog.buttons[1]->GetAssignedFunctionId());
        EXPECT_EQ(4, dialog.buttons[0]->GetFunctionCount());  // Copy, Paste, own launch, own keys
    }
    EXPECT_EQ(1, device->References()) << "the dialog keeps the device";

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

TEST_F(InitializeButtonsTest, NormalRunOnlyLoads)
{
    OfferSettings();
    CTarvixUtilityDlg dialog;
    ASSERT_TRUE(dialog.InitializeButtons(3, false));
    EXPECT_EQ(51u, dialog.buttons[0]->GetAssignedFunctionId());
    EXPECT_EQ(50u, dialog.buttons[1]->GetAssignedFunctionId());
    EXPECT_TRUE(device->CallsStartingWith("Set").empty());
    EXPECT_EQ(0, serviceFactory.Created());
}

TEST_F(InitializeButtonsTest, FailsWithoutDeviceOrButtonsAndThenWritesNothing)
{
    OfferSettings();
    {
        deviceFactory.Fail(REGDB_E_CLASSNOTREG);
        CTarvixUtilityDlg dialog;
        EXPECT_FALSE(dialog.InitializeButtons(0, true));
        EXPECT_TRUE(device->calls.empty());
        deviceFactory.Fail(S_OK);
    }
    {
        device->failing.insert("Prepare");
        CTarvixUtilityDlg dialog;
        EXPECT_FALSE(dialog.InitializeButtons(0, true));
        EXPECT_EQ((Calls{"Prepare(2)"}), device->calls);
        device->failing.clear();
    }
    {
        device->calls.clear();
        device->buttons.clear();
        CTarvixUtilityDlg dialog;
        EXPECT_FALSE(dialog.InitializeButtons(0, true));
        EXPECT_EQ((Calls{"Prepare(2)", "NextButton"}), device->calls);
        EXPECT_EQ(0, dialog.buttonCount);
        EXPECT_FALSE(dialog.buttons[0]);
    }
    EXPECT_TRUE(settings.calls.empty());
}

TEST_F(InitializeButtonsTest, AButtonThatFailsToLoadFailsTheSetUpAfterEveryButtonWasLoaded)
{
    OfferSettings();
    device->assigned.erase(1);  // the device cannot tell button 1's assignment
    CTarvixUtilityDlg dialog;
    EXPECT_FALSE(dialog.InitializeButtons(0, true));
    ASSERT_TRUE(dialog.buttons[0] && dialog.buttons[1]);
    EXPECT_EQ(0u, dialog.buttons[0]->data.applicationFunctionId);    // button 1 stopped early
    EXPECT_EQ(102u, dialog.buttons[1]->data.applicationFunctionId);  // button 2 was loaded in full
    EXPECT_EQ(2u, device->CallsStartingWith("BeginRead").size());
    // The silent run still applies both defaults and records the preset.
    EXPECT_EQ((Calls{"SetAssignedFunction(1,58)", "SetAssignedFunction(2,59)"}), device->CallsStartingWith("Set"));
    EXPECT_EQ((Calls{"SetValue(" + section + ",1,VT_INT=1)", "Commit"}), settings.calls);
}

TEST_F(InitializeButtonsTest, OfThreeButtonsTheFirstTwoAreSetUp)
{
    device->buttons = {1, 2, 3};
    CTarvixUtilityDlg dialog;
    ASSERT_TRUE(dialog.InitializeButtons(0, true));
    EXPECT_EQ(3, dialog.buttonCount);
    EXPECT_EQ(1u, device->CallsStartingWith("GetButtonInfo(3)").size());
    EXPECT_EQ(2u, device->CallsStartingWith("BeginRead").size());
    EXPECT_TRUE(device->CallsStartingWith("GetAssignedFunction(3)").empty());
    EXPECT_EQ((Calls{"SetAssignedFunction(1,58)", "SetAssignedFunction(2,59)"}), device->CallsStartingWith("Set"));
}

TEST_F(InitializeButtonsTest, SilentRunWithoutSettingsServiceStillAppliesTheButtons)
{
    CTarvixUtilityDlg dialog;
    ASSERT_TRUE(dialog.InitializeButtons(0, true));
    EXPECT_EQ((Calls{"SetAssignedFunction(1,58)", "SetAssignedFunction(2,59)"}), device->CallsStartingWith("Set"));
    EXPECT_EQ(nullptr, GetSettingsConnection());

    // Set up again on the same dialog: a fresh set of controllers, the count not doubled.
    ASSERT_TRUE(dialog.InitializeButtons(0, false));
    EXPECT_EQ(2, dialog.buttonCount);
}

} // namespace
