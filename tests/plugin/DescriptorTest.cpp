// Peryl.dll's descriptor through its exports, as the host gets it.
#include <gtest/gtest.h>
#include <new>
#include "support/ImportPatch.h"
#include "LogoLampPage.h"
#include "PageIdentity.h"
#include "Plenkit.h"
#include "support/TestPaths.h"

namespace {

class PerylModule : public testing::Test
{
protected:
    void SetUp() override
    {
        module_ = LoadLibraryW(BinFile(L"Peryl.dll").c_str());
        ASSERT_NE(nullptr, module_);
        newDesc_ = reinterpret_cast<PlenkitNewClassDescProc>(
            reinterpret_cast<void*>(GetProcAddress(module_, PLENKIT_NEW_CLASS_DESC)));
        delDesc_ = reinterpret_cast<PlenkitDelClassDescProc>(
            reinterpret_cast<void*>(GetProcAddress(module_, PLENKIT_DEL_CLASS_DESC)));
        ASSERT_NE(nullptr, newDesc_);
        ASSERT_NE(nullptr, delDesc_);
    }
    void TearDown() override
    {
        if (module_ != nullptr)
            FreeLibrary(module_);
    }
    // Takes the pages as the host does and deletes them (the host owns them).
    static std::vector<CString> TakeIdentities(ClassDesc* descriptor)
    {
        CArray<PluginClass*> pages = descriptor->TakeClasses();
        std::vector<CString> identities;
        for (INT_PTR i = 0; i < pages.GetSize(); ++i) {
            identities.push_back(pages[i]->GetIdentity());
            delete pages[i];
        }
        return identities;
    }

    HMODULE module_ = nullptr;
    PlenkitNewClassDescProc newDesc_ = nullptr;
    PlenkitDelClassDescProc delDesc_ = nullptr;
};

// Fails the second allocation of a page-sized block, like a heap that runs dry
// between the two pages.
LONG pageSizedAllocations = 0;
void* (*realMalloc)(size_t) = nullptr;

void* FailingMalloc(size_t size)
{
    if (size == sizeof(CLogoLampCtrlClass) && InterlockedIncrement(&pageSizedAllocations) == 2)
        return nullptr;
    return realMalloc(size);
}

}  // namespace

TEST_F(PerylModule, DescriptorIsOneStaticObjectWithTwoPagesLogoLampFirst)
{
    ClassDesc* first = newDesc_();
    ASSERT_NE(nullptr, first);
    ASSERT_EQ(2, first->GetClassCount());
    PluginClass* logo = first->GetClass(0);
    PluginClass* brightness = first->GetClass(1);
    EXPECT_STREQ(logoLampPageIdentity, logo->GetIdentity());
    EXPECT_EQ(103u, logo->GetTitleId());
    EXPECT_EQ(104u, logo->GetDescriptionId());
    EXPECT_EQ(101u, logo->GetDialogId());
    EXPECT_EQ(5u, logo->GetCategory());
    EXPECT_STREQ(lampBrightnessPageIdentity, brightness->GetIdentity());
    EXPECT_EQ(105u, brightness->GetTitleId());
    EXPECT_EQ(106u, brightness->GetDescriptionId());
    EXPECT_EQ(102u, brightness->GetDialogId());
    EXPECT_EQ(5u, brightness->GetCategory());
    // The identity strings were made in Peryl.dll and are released here.
    EXPECT_EQ(2u, TakeIdentities(first).size());

    delDesc_();  // leaves the descriptor usable
    ClassDesc* second = newDesc_();
    EXPECT_EQ(first, second);
    const std::vector<CString> again = TakeIdentities(second);
    ASSERT_EQ(2u, again.size());
    EXPECT_STREQ(logoLampPageIdentity, again[0]);
    EXPECT_STREQ(lampBrightnessPageIdentity, again[1]);
}

TEST_F(PerylModule, OutOfMemoryReachesTheHostAndKeepsThePageAddedBefore)
{
    {
        pageSizedAllocations = 0;
        // Peryl's operator new is its own on x86_64 (static runtime) and the
        // shared C++ runtime's on i686: the heap runs dry where new calls malloc.
        HMODULE allocator = sizeof(void*) == 8 ? module_ : GetModuleHandleW(L"libstdc++-6.dll");
        ASSERT_NE(nullptr, allocator);
        ImportPatch patch(allocator, "msvcrt.dll", "malloc", reinterpret_cast<void*>(&FailingMalloc));
        ASSERT_TRUE(patch.ok());
        realMalloc = reinterpret_cast<void* (*)(size_t)>(patch.original());
        EXPECT_THROW(newDesc_(), std::bad_alloc);
        EXPECT_EQ(2, pageSizedAllocations);
    }
    // The page made before the failure stays added; the next call adds both again.
    const std::vector<CString> pages = TakeIdentities(newDesc_());
    ASSERT_EQ(3u, pages.size());
    EXPECT_STREQ(logoLampPageIdentity, pages[0]);
    EXPECT_STREQ(logoLampPageIdentity, pages[1]);
    EXPECT_STREQ(lampBrightnessPageIdentity, pages[2]);
}
