// When the stand-in settings server ends: with its last object, or when idle
// and no client that holds objects still runs.
#include <gtest/gtest.h>
#include <string>
#include "ComTestSupport.h"
#include "StandIns.h"

namespace {

const wchar_t server[] = L"SimSettingsService.exe";
const wchar_t configKey[] = L"Software\\StandIns\\SimSettingsService";

// A short idle time for the servers started during the test; the previous
// configuration comes back afterwards.
class ShortIdleTime
{
public:
    explicit ShortIdleTime(DWORD seconds)
    {
        DWORD size = sizeof(previous_);
        had_ = RegGetValueW(HKEY_CURRENT_USER, configKey, L"IdleTimeoutSeconds", RRF_RT_REG_DWORD, nullptr,
                            &previous_, &size) == ERROR_SUCCESS;
        Write(seconds);
    }
    ~ShortIdleTime()
    {
        if (had_) {
            Write(previous_);
        } else {
            HKEY key = nullptr;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, configKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
                RegDeleteValueW(key, L"IdleTimeoutSeconds");
                RegCloseKey(key);
            }
        }
    }
    ShortIdleTime(const ShortIdleTime&) = delete;
    ShortIdleTime& operator=(const ShortIdleTime&) = delete;

private:
    static void Write(DWORD seconds)
    {
        RegSetKeyValueW(HKEY_CURRENT_USER, configKey, L"IdleTimeoutSeconds", REG_DWORD, &seconds, sizeof(seconds));
    }

    DWORD previous_ = 0;
    bool had_ = false;
};

TEST(SettingsServerLifetime, AnIdleServerStaysForARunningClientAndEndsAfterADeadOne)
{
    ComApartment apartment;
    ShortIdleTime idle(1);
    ASSERT_TRUE(WaitUntilNotRunning(server, 40000)) << "a server from before would keep its idle time";

    {
        com_ptr<ISettingsService> service = ConnectToSettingsStandIn();
        ASSERT_TRUE(service);
        Sleep(2500);  // well past the idle time
        EXPECT_TRUE(IsProcessRunning(server));
        EXPECT_EQ(S_OK, service->Reload()) << "the server left a client that still runs";
    }
    EXPECT_TRUE(WaitUntilNotRunning(server, 10000)) << "the last object went, the server stayed";

    ASSERT_EQ(0u, RunBesideTests(L"LeakingSettingsClient.exe"));
    EXPECT_TRUE(WaitUntilNotRunning(server, 10000)) << "the server waits for a client that died";
}

} // namespace
