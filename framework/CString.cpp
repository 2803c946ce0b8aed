#include "CString.h"
#include "LanguageModule.h"
#include <climits>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace {

int LengthOf(const wchar_t* text)
{
    if (text == nullptr)
        return 0;
    const size_t length = std::wcslen(text);
    if (length > static_cast<size_t>(INT_MAX / 2))
        ThrowComError(E_OUTOFMEMORY);
    return static_cast<int>(length);
}

bool IsSpace(wchar_t ch)
{
    return std::iswspace(ch) != 0;
}

}  // namespace

CStringData* CString::AllocateFor(int length)
{
    if (length < 0)
        ThrowComError(E_INVALIDARG);
    CStringData* data = GetDefaultStringManager()->Allocate(length);
    if (data == nullptr)
        ThrowComError(E_OUTOFMEMORY);
    return data;
}

void CString::AttachNil()
{
    CStringData* nil = GetDefaultStringManager()->GetNilString();
    if (nil == nullptr)
        ThrowComError(E_FAIL);
    nil->AddRef();
    data_ = nil;
}

CString::CString()
{
    AttachNil();
}

CString::CString(const wchar_t* text)
{
    AttachNil();
    SetText(text, LengthOf(text));
}

CString::CString(const wchar_t* text, int length)
{
    AttachNil();
    if (length < 0 || (text == nullptr && length > 0))
        ThrowComError(E_INVALIDARG);
    SetText(text, length);
}

CString::CString(wchar_t ch, int repeat)
{
    AttachNil();
    if (repeat > 0) {
        wchar_t* buffer = GetBufferSetLength(repeat);
        for (int i = 0; i < repeat; ++i)
            buffer[i] = ch;
    }
}

CString::CString(const CString& other) noexcept : data_(other.data_)
{
    data_->AddRef();
}

CString::~CString()
{
    data_->Release();
}

CString& CString::operator=(const CString& other) noexcept
{
    if (this == &other)
        return *this;
    other.data_->AddRef();
    data_->Release();
    data_ = other.data_;
    return *this;
}

CString& CString::operator=(const wchar_t* text)
{
    SetText(text, LengthOf(text));
    return *this;
}

CString& CString::operator+=(const CString& text)
{
    // The argument may be this very string, whose buffer the append may replace: the copy keeps it alive.
    const CString keep(text);  // NOLINT(performance-unnecessary-copy-initialization)
    Append(keep.GetString(), keep.GetLength());
    return *this;
}

CString& CString::operator+=(const wchar_t* text)
{
    return *this += CString(text);
}

CString& CString::operator+=(wchar_t ch)
{
    Append(&ch, 1);
    return *this;
}

void CString::Empty()
{
    if (IsEmpty())
        return;
    CStringData* old = data_;
    AttachNil();
    old->Release();
}

// Makes this string the only owner of a block of at least minCapacity units.
void CString::PrepareWrite(int minCapacity)
{
    if (minCapacity < data_->length)
        minCapacity = data_->length;
    if (data_->IsShared() || data_->IsLocked()) {
        CStringData* fresh = AllocateFor(minCapacity);
        std::memcpy(fresh->Chars(), data_->Chars(), (static_cast<size_t>(data_->length) + 1) * sizeof(wchar_t));
        fresh->length = data_->length;
        data_->Release();
        data_ = fresh;
        return;
    }
    if (data_->capacity < minCapacity) {
        int grow = data_->capacity + data_->capacity / 2;
        if (grow < minCapacity || grow < 0)
            grow = minCapacity;
        CStringData* grown = data_->manager->Reallocate(data_, grow);
        if (grown == nullptr && grow != minCapacity)
            grown = data_->manager->Reallocate(data_, minCapacity);
        if (grown == nullptr)
            ThrowComError(E_OUTOFMEMORY);
        data_ = grown;
    }
}

void CString::SetText(const wchar_t* text, int length)
{
    if (length == 0) {
        Empty();
        return;
    }
    // text may point into our own block: copy through a fresh block then.
    const wchar_t* own = data_->Chars();
    if (text >= own && text <= own + data_->length) {
        CString copy(text, length);
        *this = copy;
        return;
    }
    if (data_->IsShared() || data_->IsLocked() || data_->capacity < length) {
        CStringData* fresh = AllocateFor(length);
        data_->Release();
        data_ = fresh;
    }
    std::memcpy(data_->Chars(), text, static_cast<size_t>(length) * sizeof(wchar_t));
    data_->Chars()[length] = L'\0';
    data_->length = length;
}

void CString::Append(const wchar_t* text, int length)
{
    if (length == 0)
        return;
    if (length > INT_MAX / 2 - data_->length)
        ThrowComError(E_OUTOFMEMORY);
    const int newLength = data_->length + length;
    PrepareWrite(newLength);
    std::memcpy(data_->Chars() + data_->length, text, static_cast<size_t>(length) * sizeof(wchar_t));
    data_->length = newLength;
    data_->Chars()[newLength] = L'\0';
}

wchar_t CString::GetAt(int index) const
{
    if (index < 0 || index >= GetLength())
        ThrowComError(E_INVALIDARG);
    return data_->Chars()[index];
}

void CString::SetAt(int index, wchar_t ch)
{
    if (index < 0 || index >= GetLength())
        ThrowComError(E_INVALIDARG);
    PrepareWrite(GetLength());
    data_->Chars()[index] = ch;
}

int CString::Compare(const wchar_t* text) const noexcept
{
    return std::wcscmp(GetString(), text != nullptr ? text : L"");
}

int CString::CompareNoCase(const wchar_t* text) const noexcept
{
    return _wcsicmp(GetString(), text != nullptr ? text : L"");
}

int CString::Find(wchar_t ch, int start) const noexcept
{
    if (start < 0 || start >= GetLength())
        return -1;
    const wchar_t* hit = std::wcschr(GetString() + start, ch);
    return hit != nullptr && ch != L'\0' ? static_cast<int>(hit - GetString()) : -1;
}

int CString::Find(const wchar_t* text, int start) const noexcept
{
    if (text == nullptr || start < 0 || start > GetLength())
        return -1;
    const wchar_t* hit = std::wcsstr(GetString() + start, text);
    return hit != nullptr ? static_cast<int>(hit - GetString()) : -1;
}

int CString::ReverseFind(wchar_t ch) const noexcept
{
    for (int i = GetLength() - 1; i >= 0; --i)
        if (data_->Chars()[i] == ch)
            return i;
    return -1;
}

CString CString::Mid(int first, int count) const
{
    if (first < 0)
        first = 0;
    if (count < 0)
        count = 0;
    if (first > GetLength())
        first = GetLength();
    if (count > GetLength() - first)
        count = GetLength() - first;
    if (first == 0 && count == GetLength())
        return *this;
    return CString(GetString() + first, count);
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CString CString::Left(int count) const
{
    return Mid(0, count);
}

CString CString::Right(int count) const
{
    if (count < 0)
        count = 0;
    if (count > GetLength())
        count = GetLength();
    return Mid(GetLength() - count, count);
}

CString& CString::TrimRight()
{
    int end = GetLength();
    while (end > 0 && IsSpace(data_->Chars()[end - 1]))
        --end;
    if (end != GetLength())
        *this = Left(end);
    return *this;
}

CString& CString::TrimLeft()
{
    int start = 0;
    while (start < GetLength() && IsSpace(data_->Chars()[start]))
        ++start;
    if (start != 0)
        *this = Mid(start);
    return *this;
}

CString& CString::Trim()
{
    return TrimRight().TrimLeft();
}

CString& CString::MakeUpper()
{
    if (!IsEmpty()) {
        PrepareWrite(GetLength());
        CharUpperBuffW(data_->Chars(), static_cast<DWORD>(GetLength()));
    }
    return *this;
}

CString& CString::MakeLower()
{
    if (!IsEmpty()) {
        PrepareWrite(GetLength());
        CharLowerBuffW(data_->Chars(), static_cast<DWORD>(GetLength()));
    }
    return *this;
}

int CString::Replace(wchar_t from, wchar_t to)
{
    if (Find(from) < 0)
        return 0;
    PrepareWrite(GetLength());
    int count = 0;
    for (int i = 0; i < GetLength(); ++i) {
        if (data_->Chars()[i] == from) {
            data_->Chars()[i] = to;
            ++count;
        }
    }
    return count;
}

void CString::Format(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    try {
        FormatV(format, args);
    } catch (...) {
        va_end(args);
        throw;
    }
    va_end(args);
}

void CString::FormatV(const wchar_t* format, va_list args)
{
    if (format == nullptr)
        ThrowComError(E_INVALIDARG);
    va_list sizing;
    va_copy(sizing, args);
    const int length = _vscwprintf(format, sizing);
    va_end(sizing);
    if (length < 0)
        ThrowComError(E_INVALIDARG);
    CString result;
    wchar_t* buffer = result.GetBuffer(length);
    _vsnwprintf(buffer, static_cast<size_t>(length) + 1, format, args);
    result.ReleaseBuffer(length);
    *this = result;
}

BOOL CString::LoadString(UINT id)
{
    return LoadString(GetLanguageResourceHandle(), id);
}

BOOL CString::LoadString(HINSTANCE module, UINT id)
{
    const wchar_t* resource = nullptr;
    const int length = ::LoadStringW(module, id, reinterpret_cast<LPWSTR>(&resource), 0);
    if (length <= 0 || resource == nullptr)
        return FALSE;
    SetText(resource, length);
    return TRUE;
}

wchar_t* CString::GetBuffer(int minLength)
{
    if (minLength < 0)
        ThrowComError(E_INVALIDARG);
    PrepareWrite(minLength);
    return data_->Chars();
}

wchar_t* CString::GetBufferSetLength(int length)
{
    wchar_t* buffer = GetBuffer(length);
    data_->length = length;
    buffer[length] = L'\0';
    return buffer;
}

void CString::ReleaseBuffer(int newLength)
{
    if (data_->IsLocked())
        return;
    if (newLength < 0) {
        newLength = 0;
        while (newLength < data_->capacity && data_->Chars()[newLength] != L'\0')
            ++newLength;
    }
    if (newLength > data_->capacity)
        ThrowComError(E_INVALIDARG);
    data_->length = newLength;
    data_->Chars()[newLength] = L'\0';
}

BSTR CString::AllocSysString() const
{
    BSTR copy = SysAllocStringLen(GetString(), static_cast<UINT>(GetLength()));
    if (copy == nullptr)
        ThrowComError(E_OUTOFMEMORY);
    return copy;
}

CString operator+(const CString& a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, const wchar_t* b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const wchar_t* a, const CString& b)
{
    CString result(a);
    result += b;
    return result;
}

CString operator+(const CString& a, wchar_t b)
{
    CString result(a);
    result += b;
    return result;
}

CString StringFromBstr(BSTR text)
{
    if (text == nullptr)
        return CString();
    const UINT length = SysStringLen(text);
    if (length > static_cast<UINT>(INT_MAX / 2))
        ThrowComError(E_OUTOFMEMORY);
    return CString(text, static_cast<int>(length));
}

CString LoadText(UINT id)
{
    CString text;
    (void)text.LoadString(id);  // a missing text stays empty
    return text;
}
