// The utility-library binding against the stand-in VexaUtils.dll.
#include <gtest/gtest.h>
#include <atomic>
#include <thread>
#include <vector>
#include "LampBrightnessPage.h"
#include "LogoLampPage.h"
#include "PageIdentity.h"
#include "VexaUtilsWatch.h"
#include "support/TestPaths.h"
#include "device/UtilityLibrary.h"

namespace {

class Capability : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(watch_.ok());
        ASSERT_FALSE(VexaUtilsWatch::Loaded());
    }
    void TearDown() override
    {
        EXPECT_EQ(0, GetUtilityUsers());
        EXPECT_FALSE(VexaUtilsWatch::Loaded()) << "the library must be released after every check";
    }
    // Both pages' answers: {logo lamp, lamp brightness}.
    std::pair<bool, bool> PagesSupported()
    {
        CLogoLampCtrlClass logo(logoLampPageIdentity);
        CLampBrightnessCtrlClass brightness(lampBrightnessPageIdentity);
        return {logo.IsPageSupported(), brightness.IsPageSupported()};
    }
    std::vector<LONG> Sequence()
    {
        VexaUtilsCounters& c = watch_.counters();
        return std::vector<LONG>(c.sequence, c.sequence + c.sequenceLength);
    }

    VexaUtilsWatch watch_;
};

using Calls = std::vector<LONG>;

} // namespace

TEST_F(Capability, WithoutTheRegisteredLibraryNothingIsSupportedOrLoaded)
{
    ASSERT_TRUE(watch_.LibraryValue().Remove());
    EXPECT_EQ(std::make_pair(false, false), PagesSupported());

    // Values that are no usable path.
    const DWORD number = 1;
    ASSERT_TRUE(watch_.LibraryValue().SetRaw(REG_DWORD, &number, sizeof(number)));
    EXPECT_FALSE(QueryCapability(logoLampCapability));
    // Not terminated (a NUL right behind the data would be counted in).
    const std::wstring path = BinFile(L"VexaUtils.dll") + L"X";
    ASSERT_TRUE(watch_.LibraryValue().SetRaw(REG_SZ, path.c_str(), static_cast<DWORD>((path.size() - 1) * 2)));
    EXPECT_FALSE(QueryCapability(logoLampCapability));
    ASSERT_TRUE(watch_.LibraryValue().SetString(L""));
    EXPECT_FALSE(QueryCapability(logoLampCapability));
    ASSERT_TRUE(watch_.LibraryValue().SetString(BinFile(L"NoSuchLibrary.dll")));
    EXPECT_FALSE(QueryCapability(lampBrightnessCapability));

    EXPECT_EQ(0, watch_.counters().loads);
}

TEST_F(Capability, LibraryLackingAnExportIsUnsupportedAndUnloadedAgain)
{
    ASSERT_TRUE(watch_.LibraryValue().SetString(BinFile(L"VexaUtilsNoVideo.dll")));
    EXPECT_EQ(std::make_pair(false, false), PagesSupported());
    EXPECT_EQ(2, watch_.counters().loads);
    EXPECT_EQ(2, watch_.counters().unloads);
    EXPECT_EQ(0, watch_.counters().addRef);  // binding stopped before AddRef
    EXPECT_EQ(0, watch_.counters().vuDetach);
}

TEST_F(Capability, EveryCheckLoadsBindsAndReleasesTheLibrary)
{
    watch_.SetCapability(3);
    EXPECT_TRUE(QueryCapability(logoLampCapability));
    EXPECT_EQ((Calls{VexaCallLoad, VexaCallAddRef, VexaCallIsSupported, VexaCallCallDriver, VexaCallRemoveRef,
                     VexaCallDetach, VexaCallUnload}),
              Sequence());
    EXPECT_FALSE(VexaUtilsWatch::Loaded());
    EXPECT_TRUE(QueryCapability(lampBrightnessCapability));
    const VexaUtilsCounters& c = watch_.counters();
    EXPECT_EQ(2, c.loads);
    EXPECT_EQ(2, c.unloads);
    EXPECT_EQ(2, c.addRef);
    EXPECT_EQ(2, c.removeRef);
    EXPECT_EQ(2, c.vuDetach);
    EXPECT_EQ(0, c.references);
    EXPECT_EQ(0, c.badRequests);  // header 0, version 1, code 280
}

TEST_F(Capability, AnswerBitsDecideWhichPageIsSupported)
{
    watch_.SetCapability(0);
    EXPECT_EQ(std::make_pair(false, false), PagesSupported());
    watch_.SetCapability(1);
    EXPECT_EQ(std::make_pair(true, false), PagesSupported());
    watch_.SetCapability(2);
    EXPECT_EQ(std::make_pair(false, true), PagesSupported());
    watch_.SetCapability(3);
    EXPECT_EQ(std::make_pair(true, true), PagesSupported());
    watch_.SetCapability(0xFFFFFFFC);  // other bits mean nothing to the pages
    EXPECT_EQ(std::make_pair(false, false), PagesSupported());

    // A library that does not support the function is not asked for the answer.
    watch_.SetCapability(3);
    watch_.SetSupported(false);
    watch_.ResetCounters();
    EXPECT_EQ(std::make_pair(false, false), PagesSupported());
    EXPECT_EQ(2, watch_.counters().isSupported);
    EXPECT_EQ(0, watch_.counters().callDriver);
    EXPECT_EQ(2, watch_.counters().removeRef);
}

TEST_F(Capability, ExplicitLoadAndUnloadBalance)
{
    UtilityLibrary* library = GetUtilityLibrary();
    ASSERT_NE(nullptr, library);
    EXPECT_EQ(library, GetUtilityLibrary());  // published once
    EXPECT_NE(nullptr, library->VuCallVideo);
    EXPECT_NE(nullptr, library->RemoveRef);
    EXPECT_TRUE(VexaUtilsWatch::Loaded());
    UnloadUtilityLibrary();
    UnloadUtilityLibrary();  // nothing left to release
    EXPECT_EQ(1, watch_.counters().addRef);
    EXPECT_EQ(1, watch_.counters().removeRef);
    EXPECT_EQ(1, watch_.counters().vuDetach);
}

TEST_F(Capability, OverlappingChecksFromManyThreadsStayBalanced)
{
    watch_.SetCapability(3);
    std::atomic<int> wrongAnswers{0};
    std::atomic<int> checks{0};
    const ULONGLONG end = GetTickCount64() + 1500;
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; GetTickCount64() < end || i < 20; ++i) {
                if (!QueryCapability((t + i) % 2 == 0 ? logoLampCapability : lampBrightnessCapability))
                    ++wrongAnswers;
                ++checks;
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();

    EXPECT_EQ(0, wrongAnswers.load());
    const VexaUtilsCounters& c = watch_.counters();
    EXPECT_EQ(checks.load(), c.callDriver);
    EXPECT_GT(c.loads, 0);
    EXPECT_EQ(c.loads, c.unloads);
    EXPECT_EQ(c.loads, c.addRef);  // one AddRef per load
    EXPECT_EQ(c.addRef, c.removeRef);
    EXPECT_EQ(c.removeRef, c.vuDetach);
    EXPECT_EQ(0, c.references);
}
