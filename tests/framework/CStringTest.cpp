#include <gtest/gtest.h>
#include <climits>
#include "CString.h"
#include "support/ComAssert.h"
#include "tarvix/resource.h"

TEST(CString, CopySharesTheBufferUntilOneSideWrites)
{
    CString a(L"shared text");
    CString b(a);
    CString c;
    c = b;
    EXPECT_EQ(a.GetString(), b.GetString());
    EXPECT_EQ(a.GetString(), c.GetString());

    b.SetAt(0, L'S');
    EXPECT_NE(a.GetString(), b.GetString());
    EXPECT_STREQ(L"shared text", a);
    EXPECT_STREQ(L"Shared text", b);
    EXPECT_STREQ(L"shared text", c);

    c += L"!";
    EXPECT_STREQ(L"shared text", a);
    EXPECT_STREQ(L"shared text!", c);

    wchar_t* buffer = a.GetBuffer();
    buffer[0] = L'X';
    a.ReleaseBuffer();
    EXPECT_STREQ(L"Xhared text", a);
    EXPECT_STREQ(L"Shared text", b);
}

TEST(CString, SelfAssignmentAndSelfAppendKeepTheText)
{
    CString a(L"abc");
    const CString& alias = a;
    a = alias;
    EXPECT_STREQ(L"abc", a);
    a += alias;
    EXPECT_STREQ(L"abcabc", a);
    a = a.GetString() + 3;  // a pointer into its own block
    EXPECT_STREQ(L"abc", a);
}

TEST(CString, ComparesExactlyOrIgnoringCase)
{
    CString a(L"Hello");
    EXPECT_TRUE(a == L"Hello");
    EXPECT_FALSE(a == L"hello");
    EXPECT_EQ(0, a.CompareNoCase(L"hELLO"));
    EXPECT_LT(a.Compare(L"Hellp"), 0);
    EXPECT_GT(a.Compare(L""), 0);
    EXPECT_EQ(0, CString().Compare(nullptr));
}

TEST(CString, FindsAndCutsWithClampedBounds)
{
    CString path(L"C:\\Tools\\run.me.exe");
    EXPECT_EQ(2, path.Find(L'\\'));
    EXPECT_EQ(8, path.ReverseFind(L'\\'));
    EXPECT_EQ(9, path.Find(L"run"));
    EXPECT_EQ(-1, path.Find(L"nothing"));
    EXPECT_EQ(-1, path.Find(L'x', 100));
    EXPECT_STREQ(L"run.me.exe", path.Mid(path.ReverseFind(L'\\') + 1));
    EXPECT_STREQ(L"C:", path.Left(2));
    EXPECT_STREQ(L"exe", path.Right(3));
    EXPECT_STREQ(L"", path.Mid(100));
    EXPECT_STREQ(L"C:\\Tools\\run.me.exe", path.Left(1000));
    EXPECT_STREQ(L"", path.Left(-1));
    EXPECT_STREQ(L"C:\\Tools\\run.me.exe", path.Right(1000));
    EXPECT_STREQ(L"Tools", path.Mid(3, 5));
}

TEST(CString, TrimsWhiteSpaceOnEitherSide)
{
    CString text(L" \t spaced out \r\n");
    CString copy(text);
    EXPECT_STREQ(L"spaced out \r\n", CString(text).TrimLeft());
    EXPECT_STREQ(L" \t spaced out", CString(text).TrimRight());
    EXPECT_STREQ(L"spaced out", text.Trim());
    EXPECT_STREQ(L" \t spaced out \r\n", copy);
    EXPECT_STREQ(L"", CString(L"   ").Trim());
}

TEST(CString, FormatsPrintfStyle)
{
    CString text;
    text.Format(L"%s has %d keys, first %c", L"Board", 104, L'Q');
    EXPECT_STREQ(L"Board has 104 keys, first Q", text);
    text.Format(L"F%d", 5);
    EXPECT_STREQ(L"F5", text);
    CString longer;
    longer.Format(L"%s%s", CString(L'x', 3000).GetString(), L"end");
    EXPECT_EQ(3003, longer.GetLength());
    EXPECT_STREQ(L"end", longer.Right(3));
}

TEST(CString, IndexOutsideTheStringRaisesInvalidArgument)
{
    CString text(L"abc");
    EXPECT_EQ(L'c', text.GetAt(2));
    EXPECT_COM_ERROR(text.GetAt(3), E_INVALIDARG);
    EXPECT_COM_ERROR(text.GetAt(-1), E_INVALIDARG);
    EXPECT_COM_ERROR(text.SetAt(3, L'x'), E_INVALIDARG);
    EXPECT_COM_ERROR(CString()[0], E_INVALIDARG);
    EXPECT_STREQ(L"abc", text);
}

TEST(CString, ExhaustedMemoryRaisesOutOfMemory)
{
    CString text(L"kept");
    EXPECT_COM_ERROR(text.GetBuffer(INT_MAX), E_OUTOFMEMORY);
    EXPECT_STREQ(L"kept", text);
}

namespace {

// A manager that cannot hand out the empty string, as when the string heap is gone.
class NoNilManager final : public IStringManager
{
public:
    explicit NoNilManager(IStringManager* real) : real_(real) {}
    CStringData* Allocate(int capacity) override { return real_->Allocate(capacity); }
    CStringData* Reallocate(CStringData* d, int capacity) override { return real_->Reallocate(d, capacity); }
    void Free(CStringData* d) override { real_->Free(d); }
    CStringData* GetNilString() override { return nullptr; }

private:
    IStringManager* real_;
};

}  // namespace

TEST(CString, MissingEmptyStringRaisesFail)
{
    CString before(L"made before");
    NoNilManager failing(GetDefaultStringManager());
    IStringManager* previous = SetDefaultStringManager(&failing);
    EXPECT_COM_ERROR(CString(), E_FAIL);
    EXPECT_COM_ERROR(CString(L"x"), E_FAIL);
    SetDefaultStringManager(previous);
    EXPECT_STREQ(L"made before", before);
    EXPECT_TRUE(CString().IsEmpty());
}

TEST(CString, LoadsFromTheLanguageModuleAndKeepsTextWhenMissing)
{
    CString text(L"previous");
    EXPECT_FALSE(text.LoadString(39999));
    EXPECT_STREQ(L"previous", text);
    ASSERT_TRUE(text.LoadString(IDS_APP_TITLE));
    EXPECT_FALSE(text.IsEmpty());
    EXPECT_STRNE(L"previous", text);
    ASSERT_TRUE(text.LoadString(IDS_SYMBOL_BACKSLASH));
    EXPECT_STREQ(L"\\", text);
}

TEST(CString, CrossesToAndFromBstr)
{
    CString text(L"with\0nul", 8);
    BSTR copy = text.AllocSysString();
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(8u, SysStringLen(copy));
    CString back = StringFromBstr(copy);
    EXPECT_EQ(8, back.GetLength());
    EXPECT_EQ(L'n', back.GetAt(5));
    SysFreeString(copy);
    EXPECT_TRUE(StringFromBstr(nullptr).IsEmpty());
}

TEST(CString, BufferAccessForWin32Calls)
{
    CString text;
    const DWORD written = GetEnvironmentVariableW(L"NO_SUCH_VARIABLE_HERE", text.GetBuffer(64), 65);
    text.ReleaseBuffer(static_cast<int>(written));
    EXPECT_TRUE(text.IsEmpty());

    wchar_t* buffer = text.GetBufferSetLength(3);
    buffer[0] = L'a';
    buffer[1] = L'b';
    buffer[2] = L'c';
    text.ReleaseBuffer();
    EXPECT_STREQ(L"abc", text);
    EXPECT_EQ(3, text.GetLength());
}
