#include <gtest/gtest.h>
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <atomic>
#include <string>
#include "ObserveApp.h"

namespace {

// Each test uses its own base name: the real one would reach running programs.
std::wstring UniqueBase(const char* test)
{
    return L"TarvixTest-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::wstring(test, test + strlen(test));
}

class CountingListener final : public CObserveApp::IObserveEvent
{
public:
    std::atomic<int> all{0};
    std::atomic<int> user{0};
    HANDLE called = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    ~CountingListener() { CloseHandle(called); }
    int OnShutdownAll() override
    {
        ++all;
        SetEvent(called);
        return 0;
    }
    int OnShutdownUser() override
    {
        ++user;
        SetEvent(called);
        return 0;
    }
};

std::wstring DaclOf(HANDLE object)
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PACL dacl = nullptr;
    if (GetSecurityInfo(object, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                        &descriptor) != ERROR_SUCCESS)
        return L"<unreadable>";
    LPWSTR text = nullptr;
    std::wstring result = L"<unconvertible>";
    if (ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                             &text, nullptr)) {
        result = text;
        LocalFree(text);
    }
    LocalFree(descriptor);
    return result;
}

bool IsSignalled(HANDLE object)
{
    return WaitForSingleObject(object, 0) == WAIT_OBJECT_0;
}

}  // namespace

TEST(ObserveApp, NamedObjectsExistWithTheEveryoneDacl)
{
    const std::wstring base = UniqueBase("Dacl");
    CObserveApp observer(base.c_str());
    ASSERT_TRUE(observer.Start());

    const std::wstring names[] = {base + L"-Shutdown-User", L"Global\\" + base + L"-Shutdown-All"};
    for (const std::wstring& name : names) {
        unique_handle opened(OpenEventW(SYNCHRONIZE, FALSE, name.c_str()));
        EXPECT_TRUE(opened.valid()) << std::string(name.begin(), name.end());
    }
    unique_handle mutexUser(OpenMutexW(SYNCHRONIZE, FALSE, (base + L"-MutexUser").c_str()));
    unique_handle mutexAll(OpenMutexW(SYNCHRONIZE, FALSE, (L"Global\\" + base + L"-MutexAll").c_str()));
    EXPECT_TRUE(mutexUser.valid());
    EXPECT_TRUE(mutexAll.valid());

    for (HANDLE object : {observer.SessionShutdownEvent(), observer.AllShutdownEvent(),
                          observer.SessionPresenceMutex(), observer.AllPresenceMutex()})
        EXPECT_EQ(L"D:(D;;WDWO;;;WD)(A;;GA;;;WD)", DaclOf(object));
}

TEST(ObserveApp, SecondObserverSharesTheSameObjects)
{
    const std::wstring base = UniqueBase("Second");
    CObserveApp first(base.c_str());
    CObserveApp second(base.c_str());
    ASSERT_TRUE(first.SessionShutdownEvent() && second.SessionShutdownEvent());
    ASSERT_TRUE(first.AllShutdownEvent() && second.AllShutdownEvent());
    EXPECT_FALSE(IsSignalled(second.SessionShutdownEvent()));
    SetEvent(first.SessionShutdownEvent());
    EXPECT_TRUE(IsSignalled(second.SessionShutdownEvent()));
    SetEvent(second.AllShutdownEvent());
    EXPECT_TRUE(IsSignalled(first.AllShutdownEvent()));

    // The first copy holds the presence mutex; the second gets a handle to the same one.
    ASSERT_TRUE(first.Start());
    ASSERT_TRUE(second.Start());
    EXPECT_TRUE(first.StopWatcher());
    EXPECT_TRUE(second.StopWatcher());
}

TEST(ObserveApp, SessionRequestCallsTheListenerOnce)
{
    const std::wstring base = UniqueBase("Session");
    CObserveApp observer(base.c_str());
    CountingListener listener;
    observer.SetListener(&listener);
    ASSERT_TRUE(observer.Start());

    // Another process would open the event by name and signal it.
    unique_handle request(OpenEventW(EVENT_MODIFY_STATE, FALSE, (base + L"-Shutdown-User").c_str()));
    ASSERT_TRUE(request.valid());
    SetEvent(request.get());
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(listener.called, 30000)) << "the listener was not called";
    SetEvent(request.get());
    // Once the watcher thread has ended, nothing can call the listener again.
    EXPECT_TRUE(observer.StopWatcher()) << "the watcher did not end after its call";
    EXPECT_FALSE(IsSignalled(listener.called)) << "a second call";
    EXPECT_EQ(1, listener.user.load());
    EXPECT_EQ(0, listener.all.load());
}

TEST(ObserveApp, AllSessionsRequestCallsOnShutdownAll)
{
    const std::wstring base = UniqueBase("All");
    CObserveApp observer(base.c_str());
    CountingListener listener;
    observer.SetListener(&listener);
    ASSERT_TRUE(observer.Start());
    unique_handle request(OpenEventW(EVENT_MODIFY_STATE, FALSE, (L"Global\\" + base + L"-Shutdown-All").c_str()));
    ASSERT_TRUE(request.valid());
    SetEvent(request.get());
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(listener.called, 30000)) << "the listener was not called";
    EXPECT_EQ(1, listener.all.load());
    EXPECT_EQ(0, listener.user.load());
}

TEST(ObserveApp, DestroyingWhileTheWatcherWaitsEndsItThroughTheStopEvent)
{
    const std::wstring base = UniqueBase("Stop");
    CountingListener listener;
    ULONGLONG destroyed = 0;
    {
        CObserveApp observer(base.c_str());
        observer.SetListener(&listener);
        ASSERT_TRUE(observer.Start());
        // Nothing waits on this pause: the stop event is auto-reset and stays set
        // until the watcher's wait takes it, so the watcher ends through it
        // whether or not it was already waiting; the pause makes "waiting" the
        // usual case.
        Sleep(50);
        EXPECT_TRUE(observer.StopWatcher());
        ASSERT_TRUE(observer.Start());
        destroyed = GetTickCount64();
    }
    // A watcher that did not end by itself costs the destructor its whole 2 s
    // limit before it is terminated.
    EXPECT_LT(GetTickCount64() - destroyed, 2000u) << "the destructor waited out the watcher's limit";
    EXPECT_EQ(0, listener.user.load() + listener.all.load());
}

TEST(ObserveApp, StartAgainReplacesTheWatcher)
{
    const std::wstring base = UniqueBase("Restart");
    CObserveApp observer(base.c_str());
    CountingListener listener;
    observer.SetListener(&listener);
    ASSERT_TRUE(observer.Start());
    ASSERT_TRUE(observer.Start());
    SetEvent(observer.SessionShutdownEvent());
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(listener.called, 30000)) << "the listener was not called";
    // The second Start ended the first watcher; once the one left has ended
    // too, every call there was is counted.
    EXPECT_TRUE(observer.StopWatcher());
    EXPECT_EQ(1, listener.user.load());
}
