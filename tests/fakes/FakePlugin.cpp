// A plug-in for testing the host: three pages (A supported, B not, C supported
// but without a dialog template), a radio item with an option and a list item,
// all of which record what the host does with them. Built in variants:
//   FAKE_THROWS      global_newClassDesc adds page A, then runs out of memory
//   FAKE_NO_EXPORT   lacks global_newClassDesc (see its .def)
//   FAKE_HELPED      page A's identity comes from FakePluginHelper.dll
#include <windows.h>
#include <commctrl.h>
#include <new>
#include "FakePluginLog.h"
#include "Plenkit.h"

#ifdef FAKE_HELPED
extern "C" __declspec(dllimport) const wchar_t* __cdecl fake_HelperIdentity();
#endif

namespace {

FakePluginLog fakeLog;

const wchar_t* PageAIdentity()
{
#ifdef FAKE_HELPED
    return fake_HelperIdentity();
#else
    return L"fake-a";
#endif
}

class RecordingOption : public SettingOption
{
public:
    ~RecordingOption() override { InterlockedIncrement(&fakeLog.optionsDeleted); }
    LONG OnSettingChange(const VARIANT&) override
    {
        InterlockedIncrement(&fakeLog.settingChanges);
        return 0;
    }
    LONG OnSetStart(const VARIANT&) override
    {
        InterlockedIncrement(&fakeLog.setStartCalls);
        return 0;
    }
    LONG ApplyValue(const VARIANT& value) override
    {
        InterlockedIncrement(&fakeLog.applyCalls);
        fakeLog.lastAppliedType = value.vt;
        fakeLog.lastAppliedValue = value.lVal;
        return 0;
    }
    LONG OptionHookA(LONG_PTR shown) override
    {
        InterlockedIncrement(shown ? &fakeLog.hookAShown : &fakeLog.hookAHidden);
        return 0;
    }
    LONG OptionHookB(LONG_PTR) override
    {
        InterlockedIncrement(&fakeLog.hookBCalls);
        return 0;
    }
};

class RecordingRadio : public CRadioButtonItem
{
public:
    RecordingRadio() : CRadioButtonItem(7, 8, IDC_FAKE_RADIO_1, 3, itemKindIndex, new RecordingOption) {}
    ~RecordingRadio() override { InterlockedIncrement(&fakeLog.itemsDeleted); }
};

class RecordingList : public CListBoxItem
{
public:
    RecordingList() : CListBoxItem(0, 0, IDC_FAKE_LIST, itemKindNoValue, nullptr) {}
    ~RecordingList() override { InterlockedIncrement(&fakeLog.itemsDeleted); }
    LONG FillList() override
    {
        InterlockedIncrement(&fakeLog.fillListCalls);
        wchar_t text[] = L"fake row";
        LVCOLUMNW column = {};
        column.mask = LVCF_WIDTH;
        column.cx = 100;
        SendMsg(0, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LONG_PTR>(&column));
        LVITEMW row = {};
        row.mask = LVIF_TEXT;
        row.pszText = text;
        return static_cast<LONG>(SendMsg(0, LVM_INSERTITEMW, 0, reinterpret_cast<LONG_PTR>(&row)));
    }
};

class FakePage : public PluginClass
{
public:
    FakePage(UINT title, UINT description, UINT dialog, const wchar_t* identity, bool supported)
        : PluginClass(title, description, dialog, identity), supported_(supported)
    {
        SetCategory(9);
    }
    ~FakePage() override { InterlockedIncrement(&fakeLog.pagesDeleted); }

    LONG InitPage() override
    {
        InterlockedIncrement(&fakeLog.initPageCalls);
        (void)SetControlPos(IDC_FAKE_LABEL, 10, 20, 200, 30);
        (void)SetControlPos(IDC_FAKE_LIST, 0, 100, 300, 90);
        RegisterItem(new RecordingRadio);
        RegisterItem(new RecordingList);
        return 0;
    }
    LRESULT PageProc(UINT msg, WPARAM, LPARAM) override
    {
        InterlockedIncrement(&fakeLog.pageProcCalls);
        if (msg == WM_COMMAND)
            InterlockedIncrement(&fakeLog.commandMessages);
        return 0;
    }
    bool IsPageSupported() override
    {
        InterlockedIncrement(&fakeLog.supportQuestions);
        return supported_;
    }

private:
    bool supported_;
};

class FakeDesc : public ClassDesc
{
public:
    void AddPluginClasses() override
    {
        AddClass(new FakePage(IDS_FAKE_A_TITLE, IDS_FAKE_A_DESCRIPTION, IDD_FAKE_A, PageAIdentity(), true));
#ifdef FAKE_THROWS
        throw std::bad_alloc();
#endif
        AddClass(new FakePage(IDS_FAKE_B_TITLE, IDS_FAKE_B_DESCRIPTION, IDD_FAKE_B, L"fake-b", false));
        AddClass(new FakePage(IDS_FAKE_C_TITLE, 0, IDD_FAKE_MISSING, L"fake-c", true));
    }
};

FakeDesc descriptor;

}  // namespace

extern "C" {

ClassDesc* __cdecl global_newClassDesc()
{
    descriptor.AddPluginClasses();
    return &descriptor;
}

void __cdecl global_delClassDesc()
{
}

FakePluginLog* __cdecl fake_GetLog()
{
    return &fakeLog;
}

}  // extern "C"
