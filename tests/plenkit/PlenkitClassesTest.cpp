// The framework classes as a plug-in uses them, against real controls.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "Plenkit.h"

namespace {

struct Counts
{
    int pagesDeleted = 0;
    int itemsDeleted = 0;
    int optionsDeleted = 0;
    int changes = 0;
    int applies = 0;
    int starts = 0;
    VARTYPE appliedType = VT_EMPTY;
    LONG appliedValue = -99;
};

class CountingOption : public SettingOption
{
public:
    explicit CountingOption(Counts& counts) : counts_(counts) {}
    ~CountingOption() override { ++counts_.optionsDeleted; }
    LONG OnSettingChange(const VARIANT&) override
    {
        ++counts_.changes;
        EXPECT_EQ(counts_.changes, counts_.applies + 1) << "the change comes before the apply";
        return 0;
    }
    LONG OnSetStart(const VARIANT&) override { return ++counts_.starts, 0; }
    LONG ApplyValue(const VARIANT& value) override
    {
        ++counts_.applies;
        counts_.appliedType = value.vt;
        counts_.appliedValue = value.lVal;
        return 0;
    }

private:
    Counts& counts_;
};

class CountingRadio : public CRadioButtonItem
{
public:
    CountingRadio(Counts& counts, int firstId)
        : CRadioButtonItem(0, 0, firstId, 3, 1, new CountingOption(counts)), counts_(counts)
    {
    }
    ~CountingRadio() override { ++counts_.itemsDeleted; }

private:
    Counts& counts_;
};

class TestPage : public PluginClass
{
public:
    TestPage(Counts& counts, const CString& identity) : PluginClass(11, 12, 13, identity), counts_(counts) {}
    ~TestPage() override { ++counts_.pagesDeleted; }
    using PluginClass::RegisterItem;
    using PluginClass::SetControlPos;

private:
    Counts& counts_;
};

class TestDesc : public ClassDesc
{
public:
    explicit TestDesc(Counts& counts) : counts_(counts) {}
    void AddPluginClasses() override
    {
        AddClass(new TestPage(counts_, L"first"));
        AddClass(nullptr);
        AddClass(new TestPage(counts_, L"second"));
    }

private:
    Counts& counts_;
};

// A parent window with three radio buttons (ids 500..502) and a static (600).
class ControlWindow
{
public:
    ControlWindow()
    {
        window_ = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        for (int i = 0; i < 3; ++i)
            Child(L"BUTTON", BS_AUTORADIOBUTTON, 500 + i);
        Child(L"STATIC", SS_LEFT, 600);
    }
    ~ControlWindow() { DestroyWindow(window_); }
    HWND get() const { return window_; }
    HWND item(int id) const { return GetDlgItem(window_, id); }

private:
    void Child(const wchar_t* cls, DWORD style, int id)
    {
        CreateWindowExW(0, cls, L"text", WS_CHILD | WS_VISIBLE | style, 0, 0, 50, 20, window_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
    HWND window_;
};

RECT ChildRect(HWND parent, HWND child)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

TEST(PlenkitClasses, DescriptorHandsOverPagesInOrderOnce)
{
    Counts counts;
    TestDesc descriptor(counts);
    descriptor.AddPluginClasses();
    ASSERT_EQ(2, descriptor.GetClassCount());  // null is not a page
    EXPECT_STREQ(L"first", descriptor.GetClass(0)->GetIdentity());
    CArray<PluginClass*> taken = descriptor.TakeClasses();
    EXPECT_EQ(0, descriptor.GetClassCount());
    ASSERT_EQ(2, taken.GetSize());
    EXPECT_STREQ(L"second", taken[1]->GetIdentity());
    EXPECT_EQ(11u, taken[0]->GetTitleId());
    EXPECT_EQ(12u, taken[0]->GetDescriptionId());
    EXPECT_EQ(13u, taken[0]->GetDialogId());
    for (INT_PTR i = 0; i < taken.GetSize(); ++i)
        delete taken[i];
    EXPECT_EQ(2, counts.pagesDeleted);
}

TEST(PlenkitClasses, PageOwnsItemsAndItemsOwnOptions)
{
    Counts counts;
    {
        TestPage page(counts, L"id");
        page.SetCategory(5);
        EXPECT_EQ(5u, page.GetCategory());
        auto* first = new CountingRadio(counts, 500);
        auto* second = new CountingRadio(counts, 700);
        page.RegisterItem(first);
        page.RegisterItem(nullptr);
        page.RegisterItem(second);
        ASSERT_EQ(2, page.GetItemCount());
        EXPECT_EQ(first, page.GetItemAt(0));
        EXPECT_EQ(second, page.FindItem(702));
        EXPECT_EQ(first, page.FindItem(500));
        EXPECT_EQ(nullptr, page.FindItem(503));
    }
    EXPECT_EQ(1, counts.pagesDeleted);
    EXPECT_EQ(2, counts.itemsDeleted);
    EXPECT_EQ(2, counts.optionsDeleted);
}

TEST(PlenkitClasses, ControlPositionsWaitForTheWindowThenMoveAtOnce)
{
    Counts counts;
    ControlWindow window;
    TestPage page(counts, L"id");
    EXPECT_EQ(0, page.SetControlPos(600, 10, 20, 200, 30));  // no window yet: kept for later
    EXPECT_NE(ChildRect(window.get(), window.item(600)).left, PlenkitScale(10, false));
    page.AttachWindow(window.get());
    RECT moved = ChildRect(window.get(), window.item(600));
    EXPECT_EQ(PlenkitScale(10, false), moved.left);
    EXPECT_EQ(PlenkitScale(20, true), moved.top);
    EXPECT_EQ(PlenkitScale(200, false), moved.right - moved.left);
    EXPECT_EQ(PlenkitScale(30, true), moved.bottom - moved.top);

    EXPECT_EQ(1, page.SetControlPos(501, 12, 50, 480, 20));
    EXPECT_EQ(PlenkitScale(50, true), ChildRect(window.get(), window.item(501)).top);
    EXPECT_EQ(0, page.SetControlPos(999, 0, 0, 1, 1));  // no such control

    const CArray<PluginClass::ControlPos>& positions = page.GetControlPositions();
    ASSERT_EQ(3, positions.GetSize());
    EXPECT_EQ(600u, positions[0].id);
    EXPECT_EQ(501u, positions[1].id);
    EXPECT_EQ(480u, positions[1].cx);
}

TEST(PlenkitClasses, RadioClickTellsTheOptionTheIndex)
{
    Counts counts;
    ControlWindow window;
    {
        CountingRadio radio(counts, 500);
        EXPECT_EQ(1u, radio.InitType());
        EXPECT_EQ(0, radio.SendMsg(0, WM_GETTEXTLENGTH, 0, 0));  // not attached yet
        radio.Attach(window.get());
        EXPECT_EQ(4, radio.SendMsg(1, WM_GETTEXTLENGTH, 0, 0));
        EXPECT_EQ(0, radio.SendMsg(3, WM_GETTEXTLENGTH, 0, 0));  // outside the group
        radio.OnInitItem();
        EXPECT_EQ(1, counts.starts);

        SendMessageW(window.item(502), BM_CLICK, 0, 0);  // checks the button; the parent is not the item
        EXPECT_EQ(1, radio.OnCommand(502, BN_CLICKED));
        EXPECT_EQ(1, counts.applies);
        EXPECT_EQ(VT_I4, counts.appliedType);
        EXPECT_EQ(2, counts.appliedValue);
        VARIANT value = radio.GetItem();
        EXPECT_EQ(VT_I4, value.vt);
        EXPECT_EQ(2, value.lVal);

        EXPECT_EQ(0, radio.OnCommand(501, BN_SETFOCUS));
        EXPECT_EQ(0, radio.OnCommand(600, BN_CLICKED));
        EXPECT_EQ(1, counts.applies);

        VARIANT first;
        VariantInit(&first);
        first.vt = VT_I4;
        first.lVal = 0;
        EXPECT_EQ(0, radio.SetItem(first));  // set by the host: shown, not applied
        EXPECT_EQ(1, counts.applies);
        EXPECT_EQ(BST_CHECKED, SendMessageW(window.item(500), BM_GETCHECK, 0, 0));
        EXPECT_EQ(BST_UNCHECKED, SendMessageW(window.item(502), BM_GETCHECK, 0, 0));

        EXPECT_EQ(1, radio.OnCommand(500, BN_CLICKED));
        EXPECT_EQ(2, counts.applies);
        EXPECT_EQ(0, counts.appliedValue);
    }
    EXPECT_EQ(1, counts.optionsDeleted);
}

TEST(PlenkitClasses, BaseListItemHasNoRowsOfItsOwn)
{
    CListBoxItem list(0, 0, 42, 0, nullptr);
    EXPECT_TRUE(list.IsListBox());
    EXPECT_TRUE(list.OwnsControl(42));
    EXPECT_FALSE(list.OwnsControl(43));
    CArray<CString> strings;
    strings.Add(L"x");
    list.SetStrings(strings);
    EXPECT_EQ(0, list.FillList());
    EXPECT_EQ(nullptr, list.GetControl(0));
}
