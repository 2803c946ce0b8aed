#include <gtest/gtest.h>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>
#include "ComTestSupport.h"
#include "FakeSettingsService.h"
#include "SettingsConnection.h"

namespace {

using Calls = std::vector<std::string>;
const std::string section = Narrow(TarvixSettingsSection);

// The fakes registered for the calling thread's apartment.
struct FakeSettings
{
    FakeSettingsService service;
    FakeSettingsCompanion companion;
    FakeClassFactory serviceFactory{&service};
    FakeClassFactory companionFactory{&companion};
};

class Registered
{
public:
    Registered(FakeSettings& fakes, bool withCompanion = true)
        : service_(CLSID_SettingsService, &fakes.serviceFactory, CLSCTX_INPROC_SERVER)
    {
        if (withCompanion)
            companion_.reset(
                new ClassRegistration(CLSID_SettingsCompanion, &fakes.companionFactory, CLSCTX_INPROC_SERVER));
    }

private:
    ClassRegistration service_;
    std::unique_ptr<ClassRegistration> companion_;
};

// Runs `body` on a thread of its own, so a test can choose its COM state.
void OnOwnThread(const std::function<void()>& body)
{
    std::thread thread(body);
    thread.join();
}

class SettingsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SetSettingsServerContext(CLSCTX_INPROC_SERVER);
        ResetSettingsConnection();
    }
    void TearDown() override
    {
        ResetSettingsConnection();  // before the fakes go
        SetSettingsServerContext(CLSCTX_LOCAL_SERVER);
    }

    ComApartment apartment;
    FakeSettings fakes;
};

TEST_F(SettingsTest, WithoutTheServiceThereIsNoConnectionAndNothingIsWritten)
{
    EXPECT_EQ(nullptr, GetSettingsConnection());

    VARIANT value;
    VariantInit(&value);
    V_VT(&value) = VT_INT;
    V_INT(&value) = 7;
    EXPECT_EQ(1, ReadSetting(nullptr, TarvixSettingsSection, 1, &value));
    EXPECT_EQ(VT_INT, V_VT(&value));
    EXPECT_EQ(7, V_INT(&value));
    EXPECT_EQ(1, WriteSetting(value, 1, TarvixSettingsSection, nullptr));
    EXPECT_EQ(1, CommitSettings(nullptr));
    EXPECT_EQ(1, ReloadSettings(nullptr));
    INT32 kept = 7;
    EXPECT_EQ(SettingRead::Failed, ReadIntSetting(nullptr, 1, kept));
    EXPECT_EQ(7, kept);

    // Without the companion the service is not used either, and is let go.
    Registered registered(fakes, false);
    EXPECT_EQ(nullptr, GetSettingsConnection());
    EXPECT_EQ(1, fakes.serviceFactory.Created());
    EXPECT_EQ(1, fakes.service.References());
    EXPECT_TRUE(fakes.service.calls.empty());
}

TEST_F(SettingsTest, AServiceThatAppearsLaterIsFoundByTheNextCall)
{
    EXPECT_EQ(nullptr, GetSettingsConnection());
    {
        Registered registered(fakes);
        SettingsConnection* connection = GetSettingsConnection();
        ASSERT_NE(nullptr, connection);
        EXPECT_EQ(connection, GetSettingsConnection());  // made once, then kept
        EXPECT_EQ(1, fakes.serviceFactory.Created());
        EXPECT_EQ(1, fakes.companionFactory.Created());
        EXPECT_EQ(2, fakes.service.References());
        EXPECT_EQ(2, fakes.companion.References());
    }
    ReleaseSettingsConnection();
    EXPECT_EQ(1, fakes.service.References());
    EXPECT_EQ(1, fakes.companion.References());
    EXPECT_EQ(nullptr, GetSettingsConnection());  // after the clean-up there is no connection
}

TEST_F(SettingsTest, ReadsAndWritesGoThroughTheServiceAndAFailedReadKeepsTheValue)
{
    Registered registered(fakes);
    SettingsConnection* connection = GetSettingsConnection();
    ASSERT_NE(nullptr, connection);

    EXPECT_EQ(S_OK, WriteIntSetting(connection, SettingsIndex::Option, 7));
    EXPECT_EQ(S_OK, CommitSettings(connection));
    EXPECT_EQ(S_OK, ReloadSettings(connection));
    INT32 value = 0;
    EXPECT_EQ(SettingRead::Value, ReadIntSetting(connection, SettingsIndex::Option, value));
    EXPECT_EQ(7, value);
    EXPECT_EQ((Calls{"SetValue(" + section + ",4,VT_INT=7)", "Commit", "Reload", "GetValue(" + section + ",4)"}),
              fakes.service.calls);

    // Never written: the service has nothing to answer, the caller's value stays.
    value = 42;
    EXPECT_EQ(SettingRead::NotStored, ReadIntSetting(connection, SettingsIndex::CustomFunction0, value));
    EXPECT_EQ(42, value);

    // An answer that is no integer does not count as one.
    VARIANT text;
    VariantInit(&text);
    V_VT(&text) = VT_BSTR;
    V_BSTR(&text) = SysAllocString(L"many");
    fakes.service.Put(TarvixSettingsSection, SettingsIndex::CustomFunction1, text);
    VariantClear(&text);
    EXPECT_EQ(SettingRead::Failed, ReadIntSetting(connection, SettingsIndex::CustomFunction1, value));
    EXPECT_EQ(42, value);

    fakes.service.failing.insert("GetValue");
    VARIANT read;
    VariantInit(&read);
    V_VT(&read) = VT_INT;
    V_INT(&read) = 5;
    EXPECT_EQ(E_FAIL, ReadSetting(connection, TarvixSettingsSection, SettingsIndex::Option, &read));
    EXPECT_EQ(VT_INT, V_VT(&read));
    EXPECT_EQ(5, V_INT(&read));
    EXPECT_EQ(SettingRead::Failed, ReadIntSetting(connection, SettingsIndex::Option, value));
    EXPECT_EQ(42, value);
}

TEST_F(SettingsTest, ConnectsFromEitherApartmentAndLeavesTheThreadsCOMAsItWas)
{
    // A single-threaded apartment is kept (RPC_E_CHANGED_MODE is accepted).
    OnOwnThread([] {
        ComApartment apartment(COINIT_APARTMENTTHREADED);
        ASSERT_EQ(S_OK, apartment.Result());
        FakeSettings fakes;
        Registered registered(fakes);
        ASSERT_NE(nullptr, GetSettingsConnection());
        ResetSettingsConnection();
        EXPECT_EQ(1, fakes.service.References());
        APTTYPE type;
        APTTYPEQUALIFIER qualifier;
        ASSERT_EQ(S_OK, CoGetApartmentType(&type, &qualifier));
        EXPECT_TRUE(type == APTTYPE_STA || type == APTTYPE_MAINSTA) << type;
    });

    // A thread without COM is initialised by the connection, and undone by its clean-up.
    OnOwnThread([] {
        // The fake needs an apartment to be registered in: a second MTA thread holds it.
        ComApartment apartment;
        FakeSettings fakes;
        Registered registered(fakes);
        SettingsConnection* connection = nullptr;
        HRESULT again = E_FAIL;
        OnOwnThread([&] {
            connection = GetSettingsConnection();
            if (connection != nullptr) {
                ResetSettingsConnection();
                again = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
                if (SUCCEEDED(again))
                    CoUninitialize();
            }
        });
        EXPECT_NE(nullptr, connection);
        EXPECT_EQ(S_OK, again) << "the connection left its COM initialisation behind";
    });
}

}  // namespace
