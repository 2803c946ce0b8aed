// The settings connection's exit clean-up, in a process of its own.
#include <gtest/gtest.h>
#include "Handles.h"
#include "StandIns.h"

namespace {

const wchar_t server[] = L"SimSettingsService.exe";

TEST(SettingsExitCleanUp, ReleasesTheServiceAtExitAndNeverCrashes)
{
    {
        // COM still up at exit: the proxies go, so the server ends with its last
        // object. Its idle time is made far longer than any wait here, so it
        // cannot end for a client that died instead: only the release ends it.
        ServerIdleTime longIdle(24 * 3600);
        ASSERT_TRUE(WaitUntilNotRunning(server, 60000)) << "a server from before would keep its idle time";
        EXPECT_EQ(0u, RunBesideTests(L"SettingsExitClient.exe"));
        if (!WaitUntilNotRunning(server, 60000)) {
            ADD_FAILURE() << "the connection was not released at exit: the server still runs after 60 s";
            // Not left, with its endless idle time, for the tests after this one.
            unique_handle crash(OpenEventW(EVENT_MODIFY_STATE, FALSE, L"SimSettingsService-Crash"));
            if (crash)
                SetEvent(crash.get());
            EXPECT_TRUE(WaitUntilNotRunning(server, 60000));
        }
    }

    // COM already gone at exit: the clean-up must neither crash nor hang.
    EXPECT_EQ(0u, RunBesideTests(L"SettingsExitClient.exe uninitialize", 30000));
}

}  // namespace
