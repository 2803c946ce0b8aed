// The registered stand-in settings service, as a local server, under a
// section of its own so that nothing the program keeps is touched.
#include <gtest/gtest.h>
#include <string>
#include "ComTestSupport.h"
#include "StandIns.h"

namespace {

class Value
{
public:
    Value() { VariantInit(&value_); }
    explicit Value(INT32 number) : Value()
    {
        V_VT(&value_) = VT_INT;
        V_INT(&value_) = number;
    }
    explicit Value(const wchar_t* text) : Value()
    {
        V_VT(&value_) = VT_BSTR;
        V_BSTR(&value_) = SysAllocString(text);
    }
    ~Value() { VariantClear(&value_); }
    Value(const Value&) = delete;
    Value& operator=(const Value&) = delete;
    VARIANT& get() { return value_; }

private:
    VARIANT value_;
};

class SettingsServiceStandInTest : public testing::Test
{
protected:
    ~SettingsServiceStandInTest() override
    {
        if (!service)
            return;
        for (LONG index : {1, 2, 3}) {
            Value empty;
            service->SetValue(section.get(), index, empty.get());
        }
        service->Commit();
    }

    ComApartment apartment;
    com_ptr<ISettingsService> service = ConnectToSettingsStandIn();
    unique_bstr section{SysAllocString((L"StandInTest-" + std::to_wstring(GetCurrentProcessId())).c_str())};
};

TEST_F(SettingsServiceStandInTest, CommitMakesValuesLastAndReloadDropsWhatWasNotCommitted)
{
    ASSERT_TRUE(service);
    Value five(5);
    Value six(6);
    ASSERT_EQ(S_OK, service->SetValue(section.get(), 1, five.get()));
    ASSERT_EQ(S_OK, service->Commit());
    ASSERT_EQ(S_OK, service->SetValue(section.get(), 2, six.get()));

    Value read(-1);
    ASSERT_EQ(S_OK, service->GetValue(section.get(), 2, &read.get()));
    EXPECT_EQ(6, V_INT(&read.get()));

    ASSERT_EQ(S_OK, service->Reload());
    Value kept(-1);
    ASSERT_EQ(S_OK, service->GetValue(section.get(), 1, &kept.get()));
    EXPECT_EQ(VT_INT, V_VT(&kept.get()));
    EXPECT_EQ(5, V_INT(&kept.get()));
    Value dropped(-1);
    EXPECT_NE(S_OK, service->GetValue(section.get(), 2, &dropped.get()));
    EXPECT_EQ(VT_INT, V_VT(&dropped.get()));
    EXPECT_EQ(-1, V_INT(&dropped.get()));

    // An empty value removes the entry.
    Value empty;
    ASSERT_EQ(S_OK, service->SetValue(section.get(), 1, empty.get()));
    ASSERT_EQ(S_OK, service->Commit());
    ASSERT_EQ(S_OK, service->Reload());
    EXPECT_NE(S_OK, service->GetValue(section.get(), 1, &kept.get()));
}

TEST_F(SettingsServiceStandInTest, KeepsIntegersOnlyUnderSectionsItCanStore)
{
    ASSERT_TRUE(service);
    Value word(L"many");
    EXPECT_EQ(DISP_E_TYPEMISMATCH, service->SetValue(section.get(), 3, word.get()));
    Value digits(L"12");
    EXPECT_EQ(S_OK, service->SetValue(section.get(), 3, digits.get()));
    Value read;
    ASSERT_EQ(S_OK, service->GetValue(section.get(), 3, &read.get()));
    EXPECT_EQ(VT_INT, V_VT(&read.get()));
    EXPECT_EQ(12, V_INT(&read.get()));

    Value one(1);
    unique_bstr broken(SysAllocString(L"two\tparts"));
    EXPECT_EQ(E_INVALIDARG, service->SetValue(broken.get(), 1, one.get()));
    EXPECT_EQ(E_INVALIDARG, service->SetValue(nullptr, 1, one.get()));
}

}  // namespace
