#include <gtest/gtest.h>
#include "Handles.h"

TEST(Handles, KernelHandleIsClosedOnceWhenItGoes)
{
    HANDLE raw = nullptr;
    {
        unique_handle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
        ASSERT_TRUE(event.valid());
        raw = event.get();
        DWORD flags = 0;
        EXPECT_TRUE(GetHandleInformation(raw, &flags));
        unique_handle moved(std::move(event));
        EXPECT_FALSE(event.valid());
        EXPECT_EQ(raw, moved.get());
    }
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(raw, &flags));
    unique_handle invalid(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(invalid.valid());
}

TEST(Handles, BstrAndVariantAreFreed)
{
    unique_bstr text(SysAllocString(L"owned"));
    EXPECT_EQ(5u, SysStringLen(text.get()));
    text.reset();
    EXPECT_EQ(nullptr, text.get());

    unique_variant value;
    value->vt = VT_BSTR;
    value->bstrVal = SysAllocString(L"inside");
    VARIANT* slot = value.put();
    EXPECT_EQ(VT_EMPTY, slot->vt);
}

namespace {

class CountedObject final : public IUnknown
{
public:
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

}  // namespace

TEST(Handles, ComPointerBalancesReferences)
{
    CountedObject object;
    {
        com_ptr<IUnknown> owner = com_ptr<IUnknown>::attach(&object);
        EXPECT_EQ(1u, object.refs);
        com_ptr<IUnknown> copy(owner);
        EXPECT_EQ(2u, object.refs);
        com_ptr<IUnknown> other;
        other = copy;
        EXPECT_EQ(3u, object.refs);
        other.reset();
        EXPECT_EQ(2u, object.refs);
    }
    EXPECT_EQ(0u, object.refs);
}
