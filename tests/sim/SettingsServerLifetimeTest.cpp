// When the stand-in settings server ends: with its last object, or when idle
// and no client that holds objects still runs.
#include <gtest/gtest.h>
#include <string>
#include "ComTestSupport.h"
#include "Handles.h"
#include "StandIns.h"

namespace {

const wchar_t server[] = L"SimSettingsService.exe";

TEST(SettingsServerLifetime, AnIdleServerStaysForARunningClientAndEndsAfterADeadOne)
{
    ComApartment apartment;
    ServerIdleTime idle(1);
    ASSERT_TRUE(WaitUntilNotRunning(server, 60000)) << "a server from before would keep its idle time";

    {
        // Set by the server when its idle time has passed and this client kept it.
        unique_handle kept(CreateEventW(nullptr, TRUE, FALSE, L"SimSettingsService-KeptForClient"));
        ASSERT_TRUE(kept.valid());
        ResetEvent(kept.get());
        com_ptr<ISettingsService> service = ConnectToSettingsStandIn();
        ASSERT_TRUE(service);
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(kept.get(), 60000))
            << "the server did not come to its idle time with this client within 60 s";
        EXPECT_TRUE(IsProcessRunning(server));
        EXPECT_EQ(S_OK, service->Reload()) << "the server left a client that still runs";
    }
    EXPECT_TRUE(WaitUntilNotRunning(server, 60000)) << "the last object went, the server stayed";

    ASSERT_EQ(0u, RunBesideTests(L"LeakingSettingsClient.exe"));
    EXPECT_TRUE(WaitUntilNotRunning(server, 60000)) << "the server waits for a client that died";
}

}  // namespace
