// TarvixUtility.exe /miseban as a process, against the registered stand-ins.
// The device keeps its state under a key of this test; the settings value the
// run writes is put back as it was found.
#include <gtest/gtest.h>
#include <fstream>
#include <string>
#include <vector>
#include "ComTestSupport.h"
#include "Handles.h"
#include "SettingsConnection.h"
#include "MouseButtonDevice.h"
#include "StandIns.h"
#include "support/RegistryFixtures.h"
#include "support/TempFolder.h"

namespace {

const wchar_t settingsServer[] = L"SimSettingsService.exe";

class SettingsValue
{
public:
    SettingsValue() { VariantInit(&value_); }
    ~SettingsValue() { VariantClear(&value_); }
    SettingsValue(const SettingsValue&) = delete;
    SettingsValue& operator=(const SettingsValue&) = delete;
    VARIANT* get() { return &value_; }

private:
    VARIANT value_;
};

// Index 1 of the program's section in the stand-in service, as this test found
// it. It holds the service while it lives (unless let go), so the server that
// the program started beside it meets is the one it keeps, not one that ends.
class PresetFlag
{
public:
    PresetFlag() : service_(ConnectToSettingsStandIn())
    {
        if (service_)
            found_ = service_->GetValue(section_.get(), SettingsIndex::PresetActive, original_.get()) == S_OK;
    }
    ~PresetFlag()
    {
        if (!service_)
            service_ = ConnectToSettingsStandIn();
        if (!service_)
            return;
        SettingsValue empty;
        (void)service_->SetValue(section_.get(), SettingsIndex::PresetActive,
                                 found_ ? *original_.get() : *empty.get());
        (void)service_->Commit();
    }
    PresetFlag(const PresetFlag&) = delete;
    PresetFlag& operator=(const PresetFlag&) = delete;

    bool Set(INT32 value)
    {
        VARIANT number;
        VariantInit(&number);
        V_VT(&number) = VT_INT;
        V_INT(&number) = value;
        return service_ && service_->SetValue(section_.get(), SettingsIndex::PresetActive, number) == S_OK &&
               service_->Commit() == S_OK;
    }
    // Lets the server go, so that it can end.
    void LetGo() { service_.reset(); }
    // The stored value as the server reads it from its file (a fresh server
    // after LetGo); -1 when there is none.
    INT32 Stored()
    {
        if (!service_)
            service_ = ConnectToSettingsStandIn();
        SettingsValue value;
        V_VT(value.get()) = VT_INT;
        V_INT(value.get()) = -1;
        if (!service_ || service_->Reload() != S_OK ||
            service_->GetValue(section_.get(), SettingsIndex::PresetActive, value.get()) != S_OK)
            return -1;
        return V_VT(value.get()) == VT_INT ? V_INT(value.get()) : -1;
    }

private:
    com_ptr<ISettingsService> service_;
    unique_bstr section_{SysAllocString(TarvixSettingsSection)};
    SettingsValue original_;
    bool found_ = false;
};

class SilentRunTest : public testing::Test
{
protected:
    ComApartment apartment;
    OwnDeviceState device;  // the program inherits the key through its environment
    PresetFlag presetFlag;
};

TEST_F(SilentRunTest, AppliesTheDefaultsThatOutliveTheStandIns)
{
    ASSERT_TRUE(presetFlag.Set(0));
    EXPECT_EQ(51u, device.Number(1, L"AssignedFunction", 51));

    ASSERT_EQ(0u, RunBesideTests(L"TarvixUtility.exe /miseban"));

    // The device's state as a new device object in another process reads it.
    com_ptr<ISpecialButtonDevice> buttons;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_SpecialButtonDevice, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_ISpecialButtonDevice, buttons.put_void()));
    ULONG function = 0;
    EXPECT_EQ(S_OK, buttons->GetAssignedFunction(1, &function));
    EXPECT_EQ(58u, function);
    EXPECT_EQ(S_OK, buttons->GetAssignedFunction(2, &function));
    EXPECT_EQ(59u, function);

    // The settings server ends with its last client (or, if an earlier client
    // died holding objects, after its idle time); a new one reads the file.
    presetFlag.LetGo();
    EXPECT_TRUE(WaitUntilNotRunning(settingsServer, 60000)) << "the settings server did not end within 60 s";
    EXPECT_EQ(1, presetFlag.Stored());
}

TEST_F(SilentRunTest, ExitsWithFailureWhenTheButtonsCannotBeSetUp)
{
    ASSERT_TRUE(presetFlag.Set(0));
    device.SetNumber(L"ButtonCount", 0);
    EXPECT_EQ(1u, RunBesideTests(L"TarvixUtility.exe /miseban"));
    EXPECT_EQ(0, presetFlag.Stored());

    device.SetNumber(L"ButtonCount", 2);
    device.SetText(L"FailMethod", L"Prepare");
    EXPECT_EQ(1u, RunBesideTests(L"TarvixUtility.exe /miseban"));
    EXPECT_EQ(0, presetFlag.Stored());
    EXPECT_EQ(51u, device.Number(1, L"AssignedFunction", 51));
}

// The timeline the benchmarks read: each phase of a silent run once, in the
// order the run goes through them, at times that never go back.
TEST_F(SilentRunTest, WritesItsPhaseTimelineInOrderWhenAskedTo)
{
    ASSERT_TRUE(presetFlag.Set(0));
    ScopedTempFolder folder(L"phases");
    const std::wstring path = folder.path() + L"phases.txt";
    {
        ScopedEnvironment timeline(L"TARVIX_PHASES", path);
        ASSERT_EQ(0u, RunBesideTests(L"TarvixUtility.exe /miseban"));
    }

    const std::vector<std::string> expected = {"runtime-start",
                                               "com",
                                               "language-module",
                                               "device",
                                               "buttons",
                                               "settings-connection",
                                               "settings-call write 1",
                                               "settings-call commit",
                                               "exit"};
    std::vector<std::string> phases;
    std::ifstream file(path.c_str());
    std::string line;
    double previous = 0.0;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t blank = line.find(' ');
        ASSERT_NE(std::string::npos, blank) << "no phase name in: " << line;
        const double ms = std::stod(line.substr(0, blank));
        EXPECT_GE(ms, previous) << "time went back at: " << line;
        EXPECT_GT(ms, 0.0) << "not after the process was created: " << line;
        previous = ms;
        phases.push_back(line.substr(blank + 1));
    }
    EXPECT_EQ(expected, phases);
}

}  // namespace
