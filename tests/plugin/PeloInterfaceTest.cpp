// The video-enhancement client and the LED mode option against an in-test service.
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include "FakePeloService.h"
#include "Guards.h"
#include "support/ImportPatch.h"
#include "LogoLEDModeOption.h"
#include "PageIdentity.h"
#include "device/PeloInterface.h"
#include "support/ComAssert.h"
#include "support/RowTrace.h"

namespace {

class PeloClient : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(com_.result()));
        service_ = std::make_unique<FakePeloService>();
        ASSERT_TRUE(service_->ok());
    }
    void TearDown() override
    {
        EXPECT_EQ(0, service_->record().live) << "every service object is released";
        service_.reset();
    }
    FakePeloRecord& record() { return service_->record(); }

    const com_initialization com_{COINIT_APARTMENTTHREADED};
    std::unique_ptr<FakePeloService> service_;
};

// Whoever the client names is passed on; the option names the logo-lamp page.
const wchar_t someCaller[] = L"ABCDEF01-2345-6789-ABCD-EF0123456789";

// Makes the n-th call (from 1) of an imported allocation fail.
int allocationsToFail = 0;
BSTR(WINAPI* realSysAllocString)(const OLECHAR*) = nullptr;
BSTR WINAPI FailingSysAllocString(const OLECHAR* text)
{
    return --allocationsToFail == 0 ? nullptr : realSysAllocString(text);
}
SAFEARRAY* WINAPI FailingCreateVector(VARTYPE, LONG, ULONG)
{
    return nullptr;
}

VARIANT Index(LONG index, VARTYPE type = VT_I4)
{
    VARIANT value;
    VariantInit(&value);
    value.vt = type;
    value.lVal = index;
    return value;
}

}  // namespace

TEST_F(PeloClient, ConnectCreatesTheServiceAndProbesIt)
{
    CPeloInterface client;
    EXPECT_FALSE(client.IsConnected());
    EXPECT_EQ(S_OK, client.Connect());
    EXPECT_TRUE(client.IsConnected());
    EXPECT_EQ(1, record().creations);
    EXPECT_TRUE(IsEqualCLSID(CLSID_PeloControl, record().clsid));
    EXPECT_TRUE(record().outerWasNull);
    EXPECT_EQ(0x17u, record().context);
    EXPECT_TRUE(IsEqualIID(IID_IPeloControl, record().iid));
    EXPECT_EQ(1, record().probes);
    EXPECT_EQ(L"QdrSetGamma", record().probeName);
    EXPECT_EQ(0xE8000000u, record().probeFlags);
    EXPECT_EQ(VT_EMPTY, record().probeValueType);
    EXPECT_EQ(0u, record().probeReserved);
    EXPECT_EQ(1, record().live);

    EXPECT_EQ(S_FALSE, client.Connect());  // already connected: nothing created or probed
    EXPECT_EQ(1, record().creations);
    EXPECT_EQ(1, record().created);
    EXPECT_EQ(1, record().probes);

    client.Disconnect();
    EXPECT_FALSE(client.IsConnected());
    EXPECT_EQ(0, record().live);
    client.Disconnect();
}

TEST_F(PeloClient, TransformSendsTheModeWithItsFixedArguments)
{
    CPeloInterface client;
    EXPECT_EQ(E_FAIL, client.Transform(2, someCaller));  // before Connect: no call at all
    EXPECT_EQ(0, record().creations);
    EXPECT_TRUE(record().executes.empty());

    ASSERT_EQ(S_OK, client.Connect());
    record().executeAnswer = 0x00000007;
    EXPECT_EQ(0x00000007, client.Transform(0xFFFFFFFF, someCaller));
    ASSERT_EQ(1u, record().executes.size());
    const FakePeloRecord::Execute& call = record().executes[0];
    EXPECT_EQ(252u, call.inOut);
    EXPECT_EQ(L"PeloTransform", call.name);
    EXPECT_EQ(0u, call.param1);
    EXPECT_EQ(0u, call.param2);
    EXPECT_EQ(0x0F000001u, call.flags);
    EXPECT_EQ(0xFFFFFFFFu, call.mode);
    EXPECT_EQ(someCaller, call.caller);
    EXPECT_EQ(VT_EMPTY, call.valueType);
}

TEST_F(PeloClient, FailedProbeLetsTheServiceGoAtOnceAndSFalseKeepsIt)
{
    {
        CPeloInterface client;
        record().probeAnswer = E_ACCESSDENIED;
        EXPECT_EQ(E_ACCESSDENIED, client.Connect());
        EXPECT_FALSE(client.IsConnected());
        EXPECT_EQ(0, record().live);
        EXPECT_EQ(E_FAIL, client.Transform(1, someCaller));
    }
    {
        CPeloInterface client;
        record().probeAnswer = S_FALSE;
        EXPECT_EQ(S_FALSE, client.Connect());
        EXPECT_TRUE(client.IsConnected());
        EXPECT_EQ(1, record().live);
    }
    EXPECT_EQ(0, record().live);  // the destructor let it go
}

TEST_F(PeloClient, CreationFailureIsPassedBack)
{
    record().creationAnswer = REGDB_E_CLASSNOTREG;
    CPeloInterface client;
    EXPECT_EQ(REGDB_E_CLASSNOTREG, client.Connect());
    EXPECT_FALSE(client.IsConnected());
    EXPECT_EQ(0, record().probes);
}

TEST_F(PeloClient, StringsThatCannotBeAllocatedRaiseOutOfMemory)
{
    ImportPatch strings(GetModuleHandleW(nullptr), "oleaut32.dll", "SysAllocString",
                        reinterpret_cast<void*>(&FailingSysAllocString));
    ASSERT_TRUE(strings.ok());
    realSysAllocString = reinterpret_cast<decltype(realSysAllocString)>(strings.original());

    CPeloInterface client;
    allocationsToFail = 1;  // the probe's name
    EXPECT_COM_ERROR(client.Connect(), E_OUTOFMEMORY);
    EXPECT_EQ(0, record().probes);
    client.Disconnect();
    EXPECT_EQ(0, record().live);

    allocationsToFail = 0;
    ASSERT_EQ(S_OK, client.Connect());
    allocationsToFail = 1;  // the function name
    EXPECT_COM_ERROR(client.Transform(1, someCaller), E_OUTOFMEMORY);
    allocationsToFail = 2;  // the caller id, after the name and the byte array
    EXPECT_COM_ERROR(client.Transform(1, someCaller), E_OUTOFMEMORY);
    EXPECT_TRUE(record().executes.empty());

    ImportPatch arrays(GetModuleHandleW(nullptr), "oleaut32.dll", "SafeArrayCreateVector",
                       reinterpret_cast<void*>(&FailingCreateVector));
    ASSERT_TRUE(arrays.ok());
    allocationsToFail = 0;
    EXPECT_EQ(E_FAIL, client.Transform(1, someCaller));  // no byte array: nothing sent
    EXPECT_TRUE(record().executes.empty());
}

TEST_F(PeloClient, OptionSendsTheLedModeForEachRadioIndex)
{
    CLogoLEDModeOption option;
    // Whatever integer type the host keeps the index in; bytes above the
    // type's own are left as a careless host leaves them.
    LONG byReference = 1;
    SHORT shortByReference = 2;
    const BSTR one = SysAllocString(L"1");
    const BSTR letters = SysAllocString(L"first");
    ASSERT_TRUE(one != nullptr && letters != nullptr);
    VARIANT shortIndex = Index(0x7F7F0001, VT_I2);
    VARIANT byteIndex = Index(0x12345600, VT_UI1);
    VARIANT reference = Index(0, VT_BYREF | VT_I4);
    reference.plVal = &byReference;
    VARIANT shortReference = Index(0, VT_BYREF | VT_I2);
    shortReference.piVal = &shortByReference;
    VARIANT text = Index(0, VT_BSTR);
    text.bstrVal = one;
    VARIANT noNumber = Index(0, VT_BSTR);
    noNumber.bstrVal = letters;
    VARIANT wide = Index(0, VT_I8);
    wide.llVal = 0x100000001LL;
    VARIANT real = Index(0, VT_R8);
    real.dblVal = 1.0;
    VARIANT yes = Index(0, VT_BOOL);
    yes.boolVal = VARIANT_TRUE;
    VARIANT no = Index(0x00010000, VT_BOOL);
    no.boolVal = VARIANT_FALSE;
    const struct
    {
        const char* what;
        VARIANT value;
        DWORD mode;
    } cases[] = {
        {"0", Index(0), 2},
        {"1", Index(1), 1},
        {"2", Index(2), 0},
        {"3", Index(3), 0xFFFFFFFF},
        {"-1", Index(-1), 0xFFFFFFFF},
        {"1000", Index(1000), 0xFFFFFFFF},
        {"VT_INT 2", Index(2, VT_INT), 0},
        {"VT_I2 1", shortIndex, 1},
        {"VT_UI1 0", byteIndex, 2},
        {"VT_I4 1 by reference", reference, 1},
        {"VT_I2 2 by reference", shortReference, 0},
        {"the text 1", text, 1},
        {"a text that is no number", noNumber, 0xFFFFFFFF},
        {"VT_I8 beyond 32 bits", wide, 0xFFFFFFFF},
        {"VT_R8 1.0", real, 1},
        {"true", yes, 0xFFFFFFFF},
        {"false", no, 2},
        {"no value, whatever lVal holds", Index(2, VT_EMPTY), 0xFFFFFFFF},
        {"null", Index(1, VT_NULL), 0xFFFFFFFF},
    };
    for (const auto& c : cases) {
        ROW_TRACE(c.what);
        const size_t sent = record().executes.size();
        EXPECT_EQ(0, option.ApplyValue(c.value));
        ASSERT_EQ(sent + 1, record().executes.size());
        EXPECT_EQ(c.mode, record().executes.back().mode);
        EXPECT_EQ(L"0605F063-C96F-45b8-881E-661479F1AF14", record().executes.back().caller);
    }
    EXPECT_EQ(1, byReference);  // read, not changed
    EXPECT_EQ(L"1", std::wstring(one));
    SysFreeString(one);
    SysFreeString(letters);
    // One connection per selection, each released again.
    EXPECT_EQ(static_cast<int>(std::size(cases)), record().created);
    EXPECT_EQ(0, record().live);

    EXPECT_EQ(0, option.OptionHookA(1));
    EXPECT_EQ(0, option.OptionHookB(1));
}

TEST_F(PeloClient, OptionSendsNothingUnlessTheConnectionWasExactlyOk)
{
    CLogoLEDModeOption option;
    record().probeAnswer = S_FALSE;
    EXPECT_EQ(0, option.ApplyValue(Index(0)));
    record().probeAnswer = E_FAIL;
    EXPECT_EQ(0, option.ApplyValue(Index(0)));
    record().probeAnswer = S_OK;
    record().creationAnswer = REGDB_E_CLASSNOTREG;
    EXPECT_EQ(0, option.ApplyValue(Index(0)));
    EXPECT_TRUE(record().executes.empty());
    EXPECT_EQ(2, record().probes);
    EXPECT_EQ(0, record().live);
}
