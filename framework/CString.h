#pragma once
// Reference-counted UTF-16 string with value semantics: copies share one block
// until one of them writes. Failures are raised as CComException:
// E_FAIL when the empty string cannot be had, E_OUTOFMEMORY when memory runs
// out, E_INVALIDARG for an index outside the string.
#include <windows.h>
#include <oleauto.h>
#include <cstdarg>
#include "ComException.h"
#include "StringManager.h"

class CString
{
public:
    CString();
    CString(const wchar_t* text);  // null counts as empty
    CString(const wchar_t* text, int length);
    CString(wchar_t ch, int repeat);
    CString(const CString& other) noexcept;
    ~CString();

    CString& operator=(const CString& other) noexcept;
    CString& operator=(const wchar_t* text);
    CString& operator+=(const CString& text);
    CString& operator+=(const wchar_t* text);
    CString& operator+=(wchar_t ch);

    int GetLength() const noexcept { return data_->length; }
    bool IsEmpty() const noexcept { return data_->length == 0; }
    void Empty();

    const wchar_t* GetString() const noexcept { return data_->Chars(); }
    operator const wchar_t*() const noexcept { return data_->Chars(); }

    wchar_t GetAt(int index) const;
    wchar_t operator[](int index) const { return GetAt(index); }
    void SetAt(int index, wchar_t ch);

    int Compare(const wchar_t* text) const noexcept;
    int CompareNoCase(const wchar_t* text) const noexcept;

    int Find(wchar_t ch, int start = 0) const noexcept;
    int Find(const wchar_t* text, int start = 0) const noexcept;
    int ReverseFind(wchar_t ch) const noexcept;

    // Counts and positions outside the string are clamped, as callers expect.
    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;

    CString& Trim();
    CString& TrimLeft();
    CString& TrimRight();
    CString& MakeUpper();
    CString& MakeLower();
    int Replace(wchar_t from, wchar_t to);

    void Format(const wchar_t* format, ...);
    void FormatV(const wchar_t* format, va_list args);

    // Loads a string resource; leaves the text unchanged and answers FALSE when there is none.
    BOOL LoadString(UINT id);
    BOOL LoadString(HINSTANCE module, UINT id);

    // Direct access for Win32 calls that write into the string.
    wchar_t* GetBuffer(int minLength);
    wchar_t* GetBuffer() { return GetBuffer(GetLength()); }
    wchar_t* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);  // -1: up to the first NUL

    // A BSTR copy owned by the caller.
    BSTR AllocSysString() const;

private:
    void AttachNil();
    void SetText(const wchar_t* text, int length);
    void Append(const wchar_t* text, int length);
    void PrepareWrite(int minCapacity);
    static CStringData* AllocateFor(int length);

    CStringData* data_;
};

inline bool operator==(const CString& a, const CString& b) noexcept
{
    return a.Compare(b) == 0;
}
inline bool operator==(const CString& a, const wchar_t* b) noexcept
{
    return a.Compare(b) == 0;
}
inline bool operator==(const wchar_t* a, const CString& b) noexcept
{
    return b.Compare(a) == 0;
}
inline bool operator!=(const CString& a, const CString& b) noexcept
{
    return !(a == b);
}
inline bool operator!=(const CString& a, const wchar_t* b) noexcept
{
    return !(a == b);
}
inline bool operator!=(const wchar_t* a, const CString& b) noexcept
{
    return !(a == b);
}
inline bool operator<(const CString& a, const CString& b) noexcept
{
    return a.Compare(b) < 0;
}

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const wchar_t* b);
CString operator+(const wchar_t* a, const CString& b);
CString operator+(const CString& a, wchar_t b);

// A BSTR as a string; null counts as empty. Embedded NULs are kept.
CString StringFromBstr(BSTR text);

// A string resource of the language module; empty when there is none.
CString LoadText(UINT id);
