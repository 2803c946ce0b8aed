#include <gtest/gtest.h>
#include "CArray.h"
#include "CString.h"
#include "support/ComAssert.h"

TEST(CArray, AddGrowsByOneAndKeepsOrder)
{
    CArray<CString> items;
    EXPECT_EQ(0, items.GetSize());
    EXPECT_EQ(0, items.Add(L"first"));
    EXPECT_EQ(1, items.Add(L"second"));
    EXPECT_EQ(2, items.GetSize());
    EXPECT_STREQ(L"first", items[0]);
    EXPECT_STREQ(L"second", items.GetAt(1));
}

TEST(CArray, EmptiedAndRefilledStartsAtIndexZero)
{
    CArray<int> items;
    items.Add(1);
    items.Add(2);
    items.RemoveAll();
    EXPECT_EQ(0, items.GetSize());
    EXPECT_COM_ERROR(items[0], E_INVALIDARG);
    EXPECT_EQ(0, items.Add(7));
    EXPECT_EQ(7, items[0]);
    EXPECT_EQ(1, items.GetSize());
}

TEST(CArray, IndexOutsideRaisesInvalidArgument)
{
    CArray<int> items;
    items.Add(5);
    EXPECT_COM_ERROR(items[1], E_INVALIDARG);
    EXPECT_COM_ERROR(items[-1], E_INVALIDARG);
    EXPECT_COM_ERROR(items.SetAt(1, 3), E_INVALIDARG);
    EXPECT_COM_ERROR(items.SetSize(-2), E_INVALIDARG);
    EXPECT_EQ(5, items[0]);
}

TEST(CArray, AddingAnOwnElementWhileGrowingCopiesTheRightValue)
{
    CArray<CString> items;
    items.Add(L"seed");
    for (int i = 0; i < 100; ++i)
        items.Add(items[0]);
    EXPECT_EQ(101, items.GetSize());
    EXPECT_STREQ(L"seed", items[100]);
}

TEST(CArray, CopyReplacesTheWholeContent)
{
    CArray<int> source;
    source.Add(1);
    source.Add(2);
    CArray<int> target;
    target.Add(9);
    target.Add(9);
    target.Add(9);
    target.Copy(source);
    EXPECT_EQ(2, target.GetSize());
    EXPECT_EQ(2, target[1]);
    target.Copy(target);
    EXPECT_EQ(2, target.GetSize());
}
