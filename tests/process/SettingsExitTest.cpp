// The settings connection's exit clean-up, in a process of its own.
#include <gtest/gtest.h>
#include "StandIns.h"

namespace {

const wchar_t server[] = L"SimSettingsService.exe";

TEST(SettingsExitCleanUp, ReleasesTheServiceAtExitAndNeverCrashes)
{
    ASSERT_TRUE(WaitUntilNotRunning(server, 40000));

    // COM still up at exit: the proxies go, so the server ends with its last
    // object instead of waiting out its idle time for a client that died.
    EXPECT_EQ(0u, RunBesideTests(L"SettingsExitClient.exe"));
    EXPECT_TRUE(WaitUntilNotRunning(server, 8000)) << "the connection was not released at exit";

    // COM already gone at exit: the clean-up must neither crash nor hang.
    EXPECT_EQ(0u, RunBesideTests(L"SettingsExitClient.exe uninitialize", 30000));
}

} // namespace
