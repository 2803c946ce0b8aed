// The registered stand-in device, through COM, with state of its own.
#include <gtest/gtest.h>
#include <algorithm>
#include <set>
#include <string>
#include <vector>
#include "ComTestSupport.h"
#include "SettingsConnection.h"
#include "ButtonController.h"
#include "StandIns.h"
#include "Assignments.h"

namespace {

com_ptr<ISpecialButtonDevice> CreateDevice()
{
    com_ptr<ISpecialButtonDevice> device;
    EXPECT_EQ(S_OK, CoCreateInstance(CLSID_SpecialButtonDevice, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_ISpecialButtonDevice, device.put_void()));
    return device;
}

std::vector<UINT32> Ids(const CSpecialButton& button)
{
    std::vector<UINT32> ids;
    for (INT_PTR i = 0; i < button.functions.GetSize(); ++i)
        ids.push_back(button.functions[i].functionId);
    return ids;
}

std::wstring Text(BSTR text)
{
    return text != nullptr ? std::wstring(text) : std::wstring();
}

class ButtonDeviceStandInTest : public testing::Test
{
protected:
    ComApartment apartment;
    OwnDeviceState state;
    // The device is what is looked at here: the settings service is never reached.
    CServiceSettings noSettings{[]() -> SettingsConnection* { return nullptr; }};
};

TEST_F(ButtonDeviceStandInTest, OffersTwoButtonsWithEveryPresetFunctionAndTheirOwnEntries)
{
    CAssignments model(noSettings);
    ASSERT_TRUE(model.Initialize(false));
    ASSERT_EQ(2, model.ButtonCount());
    com_ptr<ISpecialButtonDevice> device = CreateDevice();
    for (int i = 0; i < 2; ++i) {
        CSpecialButton button(device.get(), i + 1);
        ASSERT_TRUE(button.Load(0));
        const std::vector<UINT32> ids = Ids(button);
        const std::set<UINT32> offered(ids.begin(), ids.end());
        for (UINT32 preset : {50u, 51u, 56u, 57u, 58u, 59u, 60u, 61u, 62u, 63u, 64u, 66u})
            EXPECT_EQ(1u, offered.count(preset)) << "button " << i + 1 << " lacks " << preset;
        // Only its own launch and key entries, once each, without a placeholder.
        const UINT32 own = static_cast<UINT32>(i + 1);
        EXPECT_EQ(1, std::count(ids.begin(), ids.end(), 100 + own));
        EXPECT_EQ(1, std::count(ids.begin(), ids.end(), 200 + own));
        EXPECT_EQ(0, std::count(ids.begin(), ids.end(), 100 + (3 - own)));
        EXPECT_EQ(0, std::count(ids.begin(), ids.end(), 200 + (3 - own)));
        for (INT_PTR k = 0; k < button.functions.GetSize(); ++k) {
            const _SPECIAL_BUTTON_INFO& entry = button.functions[k];
            EXPECT_FALSE(entry.name.IsEmpty());
            if (!entry.actionTarget.IsEmpty()) {
                EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(entry.actionTarget)) << entry.functionId;
            }
        }
    }
    // Something to open through the shell is on offer.
    CSpecialButton first(device.get(), 1);
    ASSERT_TRUE(first.Load(0));
    bool withTarget = false;
    for (INT_PTR k = 0; k < first.functions.GetSize(); ++k)
        withTarget = withTarget || !first.functions[k].actionTarget.IsEmpty();
    EXPECT_TRUE(withTarget);
    EXPECT_EQ(51u, model.Record(0).assignedFunctionId);
    EXPECT_EQ(50u, model.Record(1).assignedFunctionId);
}

TEST_F(ButtonDeviceStandInTest, KeepsEachButtonsAssignmentLaunchDataAndKeysAcrossObjects)
{
    {
        com_ptr<ISpecialButtonDevice> device = CreateDevice();
        ASSERT_TRUE(device);
        unique_bstr path(SysAllocString(L"C:\\windows\\notepad.exe"));
        unique_bstr arguments(SysAllocString(L"readme.txt"));
        EXPECT_EQ(E_UNEXPECTED, device->SetApplication(path.get(), arguments.get(), nullptr));
        EXPECT_EQ(S_OK, device->SetAssignedFunction(1, 101));
        EXPECT_EQ(S_OK, device->SetApplication(path.get(), arguments.get(), nullptr));
        EXPECT_EQ(S_OK, device->SetAssignedFunction(2, 202));
        EXPECT_EQ(S_OK, device->SetKeyCombination(0x11000143));
        // Refused: the other button's own function, an unknown one, a button that is not there.
        EXPECT_EQ(E_INVALIDARG, device->SetAssignedFunction(1, 102));
        EXPECT_EQ(E_INVALIDARG, device->SetAssignedFunction(1, 999));
        EXPECT_EQ(E_INVALIDARG, device->SetAssignedFunction(3, 58));
    }
    com_ptr<ISpecialButtonDevice> device = CreateDevice();
    ASSERT_TRUE(device);
    ULONG function = 0;
    EXPECT_EQ(S_OK, device->GetAssignedFunction(1, &function));
    EXPECT_EQ(101u, function);
    EXPECT_EQ(S_OK, device->GetAssignedFunction(2, &function));
    EXPECT_EQ(202u, function);
    unique_bstr path, arguments, folder;
    ASSERT_EQ(S_OK, device->GetApplication(101, path.put(), arguments.put(), folder.put()));
    EXPECT_EQ(L"C:\\windows\\notepad.exe", Text(path.get()));
    EXPECT_EQ(L"readme.txt", Text(arguments.get()));
    EXPECT_EQ(nullptr, folder.get());
    ASSERT_EQ(S_OK, device->GetApplication(102, path.put(), arguments.put(), folder.put()));
    EXPECT_EQ(nullptr, path.get());
    ULONG keys = 0;
    EXPECT_EQ(S_OK, device->GetKeyCombination(202, &keys));
    EXPECT_EQ(0x11000143u, keys);
    EXPECT_EQ(S_OK, device->GetKeyCombination(201, &keys));
    EXPECT_EQ(0u, keys);
}

TEST_F(ButtonDeviceStandInTest, ItsConfigurationReachesTheFailurePaths)
{
    {
        state.SetNumber(L"ButtonCount", 0);
        CAssignments model(noSettings);
        EXPECT_FALSE(model.Initialize(false));
    }
    {
        state.SetNumber(L"ButtonCount", 3);
        CAssignments model(noSettings);
        EXPECT_TRUE(model.Initialize(false));
        EXPECT_EQ(3, model.ButtonCount());
    }
    state.SetNumber(L"ButtonCount", 2);
    for (const wchar_t* method : {L"Prepare", L"BeginRead", L"GetAssignedFunction", L"GetApplicationFunction"}) {
        state.SetText(L"FailMethod", method);
        CAssignments model(noSettings);
        EXPECT_FALSE(model.Initialize(false)) << method;
    }
    state.SetText(L"FailMethod", L"");

    // A list of its own: 201 before the button's launch entry brings the placeholder.
    state.SetLines(L"Functions", {L"58|2|Copy", L"# a comment", L"201|0", L"101|1", L"not a line"});
    {
        com_ptr<ISpecialButtonDevice> device = CreateDevice();
        CSpecialButton button(device.get(), 1);
        ASSERT_TRUE(button.Load(0));
        EXPECT_EQ((std::vector<UINT32>{58, 101, 201, 101}), Ids(button));
    }
    state.SetLines(L"Functions", {});
    {
        com_ptr<ISpecialButtonDevice> device = CreateDevice();
        CSpecialButton button(device.get(), 1);
        EXPECT_FALSE(button.Load(0));
    }
}

}  // namespace
