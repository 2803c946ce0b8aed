// The LED mode option against the registered video-enhancement stand-in.
#include <gtest/gtest.h>
#include "Guards.h"
#include "LogoLEDModeOption.h"
#include "PeloControl.h"
#include "PeloWatch.h"
#include "device/PeloInterface.h"
#include "support/RegistryFixtures.h"

namespace {

class PeloService : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(com_.result()));
        ASSERT_TRUE(watch_.ok());
    }

    static VARIANT Index(LONG index)
    {
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_I4;
        value.lVal = index;
        return value;
    }
    static std::string Line(DWORD mode)
    {
        return "process " + std::to_string(GetCurrentProcessId()) + " mode " + std::to_string(mode) +
               " caller 0605F063-C96F-45b8-881E-661479F1AF14 in-out 252 name PeloTransform flags 0x0F000001 "
               "value-type 0";
    }

    const com_initialization com_{COINIT_APARTMENTTHREADED};
    PeloWatch watch_;
};

const std::wstring serviceClassKey = L"Software\\Classes\\CLSID\\" + RegistryGuid(CLSID_PeloControl);

}  // namespace

TEST_F(PeloService, SelectionsAreRecordedByTheService)
{
    const unsigned long long logStart = PeloWatch::LogEnd();
    CLogoLEDModeOption option;
    EXPECT_EQ(0, option.ApplyValue(Index(0)));
    EXPECT_EQ(2u, watch_.Get(L"LastMode"));
    EXPECT_EQ(L"0605F063-C96F-45b8-881E-661479F1AF14", watch_.GetText(L"LastCaller"));
    EXPECT_EQ(252u, watch_.Get(L"LastInOut"));
    EXPECT_EQ(L"PeloTransform", watch_.GetText(L"LastName"));
    EXPECT_EQ(0u, watch_.Get(L"LastParam1"));
    EXPECT_EQ(0u, watch_.Get(L"LastParam2"));
    EXPECT_EQ(0x0F000001u, watch_.Get(L"LastFlags"));
    EXPECT_EQ(static_cast<DWORD>(VT_EMPTY), watch_.Get(L"LastValueType"));
    EXPECT_EQ(L"QdrSetGamma", watch_.GetText(L"LastProbeName"));
    EXPECT_EQ(0xE8000000u, watch_.Get(L"LastProbeFlags"));
    EXPECT_EQ(0u, watch_.Get(L"LiveObjects"));

    EXPECT_EQ(0, option.ApplyValue(Index(2)));
    EXPECT_EQ(0u, watch_.Get(L"LastMode"));
    EXPECT_EQ(0, option.ApplyValue(Index(3)));
    EXPECT_EQ(0xFFFFFFFFu, watch_.Get(L"LastMode"));
    EXPECT_EQ(3u, watch_.Get(L"ExecuteCalls"));

    const std::vector<std::string> lines = PeloWatch::LogLines(GetCurrentProcessId(), logStart);
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(Line(2), lines[0]);
    EXPECT_EQ(Line(0), lines[1]);
    EXPECT_EQ(Line(0xFFFFFFFF), lines[2]);
}

TEST_F(PeloService, RefusedOrHeldBackProbeSendsNothing)
{
    CLogoLEDModeOption option;
    watch_.Set(L"Probe", PELO_PROBE_FAILS);
    EXPECT_EQ(0, option.ApplyValue(Index(0)));
    EXPECT_EQ(0u, watch_.Get(L"LiveObjects"));  // released right after the failed probe
    watch_.Set(L"Probe", PELO_PROBE_HOLDS_BACK);
    EXPECT_EQ(0, option.ApplyValue(Index(1)));
    EXPECT_EQ(0u, watch_.Get(L"LiveObjects"));
    EXPECT_EQ(2u, watch_.Get(L"ProbeCalls"));
    EXPECT_EQ(0xFFFFFFFFu, watch_.Get(L"ExecuteCalls"));

    // S_FALSE keeps the object held until the client lets it go.
    CPeloInterface client;
    EXPECT_EQ(S_FALSE, client.Connect());
    EXPECT_EQ(1u, watch_.Get(L"LiveObjects"));
    client.Disconnect();
    EXPECT_EQ(0u, watch_.Get(L"LiveObjects"));
}

TEST_F(PeloService, MissingServiceHasNoEffectAndRaisesNothing)
{
    CLogoLEDModeOption option;
    watch_.Set(L"Absent", 1);
    EXPECT_EQ(0, option.ApplyValue(Index(0)));
    EXPECT_EQ(0xFFFFFFFFu, watch_.Get(L"ProbeCalls"));
    watch_.Set(L"Absent", 0);

    ScopedKeyRemoval unregistered(serviceClassKey);
    ASSERT_TRUE(unregistered.ok());
    CPeloInterface client;
    EXPECT_EQ(REGDB_E_CLASSNOTREG, client.Connect());
    EXPECT_NO_THROW(EXPECT_EQ(0, option.ApplyValue(Index(1))));
    EXPECT_EQ(0xFFFFFFFFu, watch_.Get(L"ProbeCalls"));
    EXPECT_EQ(0xFFFFFFFFu, watch_.Get(L"ExecuteCalls"));
}
