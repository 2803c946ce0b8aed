#include <gtest/gtest.h>
#include <thread>
#include "Guards.h"
#include "Handles.h"
#include "support/RowTrace.h"

TEST(Guards, SelectedObjectPutsBackWhatItDisplaced)
{
    unique_hdc dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc.valid());
    const HGDIOBJ original = GetCurrentObject(dc.get(), OBJ_BITMAP);
    unique_gdi<HBITMAP> bitmap(CreateCompatibleBitmap(dc.get(), 4, 4));
    ASSERT_TRUE(bitmap.valid());
    {
        selected_object selected(dc.get(), bitmap.get());
        EXPECT_TRUE(selected.ok());
        EXPECT_EQ(bitmap.get(), GetCurrentObject(dc.get(), OBJ_BITMAP));
    }
    EXPECT_EQ(original, GetCurrentObject(dc.get(), OBJ_BITMAP));
    {
        // Nothing was selected, so nothing is put back over the DC's own.
        selected_object refused(dc.get(), nullptr);
        EXPECT_FALSE(refused.ok());
        EXPECT_EQ(original, GetCurrentObject(dc.get(), OBJ_BITMAP));
    }
    EXPECT_EQ(original, GetCurrentObject(dc.get(), OBJ_BITMAP));
}

// Each case on a thread of its own, so the apartment it leaves behind is its own.
TEST(Guards, ComInitializationUndoesOnlyWhatItDid)
{
    HRESULT inside = E_UNEXPECTED, after = E_UNEXPECTED;
    std::thread([&] {
        {
            const com_initialization com(COINIT_APARTMENTTHREADED);
            EXPECT_EQ(S_OK, com.result());
            inside = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        }
        after = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(after))
            CoUninitialize();
    }).join();
    EXPECT_EQ(RPC_E_CHANGED_MODE, inside) << "the thread was in a single-threaded apartment";
    EXPECT_EQ(S_OK, after) << "and left it when the guard went";

    HRESULT refused = E_UNEXPECTED, kept = E_UNEXPECTED;
    std::thread([&] {
        ASSERT_EQ(S_OK, CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        {
            const com_initialization com(COINIT_APARTMENTTHREADED);
            refused = com.result();
        }
        kept = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(kept))
            CoUninitialize();
        CoUninitialize();
    }).join();
    EXPECT_EQ(RPC_E_CHANGED_MODE, refused);
    EXPECT_EQ(S_FALSE, kept) << "a refused initialisation must not undo the thread's own";
}

// On a thread of its own, so the mode the case leaves behind is that thread's.
TEST(Guards, ThreadErrorModeComesBackAsItWas)
{
    const DWORD valid = SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX;
    const DWORD before[] = {0, SEM_FAILCRITICALERRORS, SEM_NOGPFAULTERRORBOX, noErrorBoxes, valid};
    std::thread([&] {
        for (const DWORD old : before) {
            ROW_TRACE(testing::Message() << "mode before 0x" << std::hex << old);
            ASSERT_TRUE(SetThreadErrorMode(old, nullptr));
            {
                const thread_error_mode quiet(noErrorBoxes);
                EXPECT_TRUE(quiet.ok());
                EXPECT_EQ(noErrorBoxes, GetThreadErrorMode());
                {
                    const thread_error_mode nested(0);
                    EXPECT_EQ(0u, GetThreadErrorMode());
                }
                EXPECT_EQ(noErrorBoxes, GetThreadErrorMode());
            }
            EXPECT_EQ(old, GetThreadErrorMode());
            {
                // A mode the system refuses changes nothing, and nothing is put back.
                const thread_error_mode refused(0x40000000);
                EXPECT_FALSE(refused.ok());
                EXPECT_EQ(old, GetThreadErrorMode());
                ASSERT_TRUE(SetThreadErrorMode(valid & ~old, nullptr));
            }
            EXPECT_EQ(valid & ~old, GetThreadErrorMode());
        }
    }).join();
}
