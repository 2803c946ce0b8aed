// The utility-library binding against the stand-in VexaUtils.dll.
#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <iterator>
#include <thread>
#include <vector>
#include "LampBrightnessPage.h"
#include "LogoLampPage.h"
#include "PageIdentity.h"
#include "VexaUtilsWatch.h"
#include "ComTestSupport.h"
#include "support/RegistryFixtures.h"
#include "support/RowTrace.h"
#include "support/TestPaths.h"
#include "device/UtilityLibrary.h"
#include "ComException.h"
#include "Guards.h"
#include "StringManager.h"
#include "support/ImportPatch.h"

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

// Strings that cannot be had, while the heap itself has room.
class NoStringMemory final : public IStringManager
{
public:
    NoStringMemory() : previous_(SetDefaultStringManager(this)) {}
    ~NoStringMemory() override { SetDefaultStringManager(previous_); }
    CStringData* Allocate(int) override { return nullptr; }
    CStringData* Reallocate(CStringData*, int) override { return nullptr; }
    void Free(CStringData* data) override { previous_->Free(data); }
    CStringData* GetNilString() override { return previous_->GetNilString(); }

private:
    IStringManager* previous_;
};

// Blocks of a binding record's size that operator new handed out and that were
// not freed yet. A fixed table: the hooks must not allocate.
void* (*realMalloc)(size_t) = nullptr;
void (*realFree)(void*) = nullptr;
void* recordBlocks[16] = {};
int recordsMade = 0;

void* TrackingMalloc(size_t size)
{
    void* block = realMalloc(size);
    if (block != nullptr && size == sizeof(UtilityLibrary)) {
        ++recordsMade;
        for (void*& slot : recordBlocks) {
            if (slot == nullptr) {
                slot = block;
                break;
            }
        }
    }
    return block;
}

void TrackingFree(void* block)
{
    for (void*& slot : recordBlocks) {
        if (slot == block && block != nullptr)
            slot = nullptr;
    }
    realFree(block);
}

int RecordsNotFreed()
{
    int live = 0;
    for (void* slot : recordBlocks)
        live += slot != nullptr ? 1 : 0;
    return live;
}

}  // namespace

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

    // Names the library only through a search or the current folder: a DLL
    // planted in the host's folder or the current one must not be loaded.
    const std::wstring folder = BinFile(L"");
    const std::wstring folderName = folder.substr(folder.find_last_of(L'\\', folder.size() - 2) + 1);
    ScopedCurrentFolder current(folder);
    ASSERT_TRUE(current.ok());
    const std::wstring notFull[] = {
        L"VexaUtils.dll",
        L".\\VexaUtils.dll",
        L"..\\" + folderName + L"VexaUtils.dll",
        folder.substr(2) + L"VexaUtils.dll",     // rooted on the current drive
        folder.substr(0, 2) + L"VexaUtils.dll",  // in the current folder of that drive
    };
    for (const std::wstring& path : notFull) {
        ROW_TRACE(Narrow(path));
        ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(path.c_str())) << "the row names the library";
        ASSERT_TRUE(watch_.LibraryValue().SetString(path));
        EXPECT_FALSE(QueryCapability(logoLampCapability));
    }

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

TEST_F(Capability, LoadingShowsNoSystemErrorBoxAndPutsTheModeBack)
{
    const DWORD before[] = {0, SEM_NOGPFAULTERRORBOX,
                            SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX};
    for (const DWORD old : before) {
        ROW_TRACE(testing::Message() << "host's mode 0x" << std::hex << old);
        const thread_error_mode host(old);
        ASSERT_TRUE(host.ok());
        watch_.ResetCounters();
        EXPECT_TRUE(QueryCapability(logoLampCapability));
        EXPECT_EQ(1, watch_.counters().loads);
        EXPECT_EQ(static_cast<LONG>(noErrorBoxes), watch_.counters().errorModeAtLoad);
        EXPECT_EQ(old, GetThreadErrorMode());
    }
}

TEST_F(Capability, PathThatCannotBeStoredLeavesNoRecordBehind)
{
    EXPECT_TRUE(QueryCapability(logoLampCapability));  // one-time set-up of the binding done before watching
    // operator new is the test program's own on x86_64 (static runtime), the
    // shared C++ runtime's on i686.
    HMODULE allocator = sizeof(void*) == 8 ? GetModuleHandleW(nullptr) : GetModuleHandleW(L"libstdc++-6.dll");
    ASSERT_NE(nullptr, allocator);
    HRESULT raised = S_OK;
    int made = 0, live = 0;
    {
        ImportPatch mallocPatch(allocator, "msvcrt.dll", "malloc", reinterpret_cast<void*>(&TrackingMalloc));
        ImportPatch freePatch(allocator, "msvcrt.dll", "free", reinterpret_cast<void*>(&TrackingFree));
        ASSERT_TRUE(mallocPatch.ok() && freePatch.ok());
        realMalloc = reinterpret_cast<void* (*)(size_t)>(mallocPatch.original());
        realFree = reinterpret_cast<void (*)(void*)>(freePatch.original());
        recordsMade = 0;
        std::fill(std::begin(recordBlocks), std::end(recordBlocks), nullptr);
        {
            NoStringMemory noStrings;
            try {
                (void)QueryCapability(logoLampCapability);
            } catch (const CComException& e) {
                raised = e.Error();
            }
        }
        made = recordsMade;
        live = RecordsNotFreed();
    }
    EXPECT_EQ(E_OUTOFMEMORY, raised);
    EXPECT_GE(made, 1) << "the check made its record";
    EXPECT_EQ(0, live) << "the record of the failed load was not freed";
    EXPECT_EQ(1, watch_.counters().loads) << "only the first check loaded the library";

    EXPECT_TRUE(QueryCapability(lampBrightnessCapability));
}
