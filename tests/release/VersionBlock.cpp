#include "VersionBlock.h"
#include <cwchar>

VersionBlock::VersionBlock(const std::wstring& path)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return;
    data_.resize(size);
    if (!GetFileVersionInfoW(path.c_str(), 0, size, data_.data()))
        data_.clear();
}

const VS_FIXEDFILEINFO* VersionBlock::Fixed() const
{
    void* fixed = nullptr;
    UINT length = 0;
    if (data_.empty() || !VerQueryValueW(data_.data(), L"\\", &fixed, &length) || length < sizeof(VS_FIXEDFILEINFO))
        return nullptr;
    return static_cast<const VS_FIXEDFILEINFO*>(fixed);
}

std::wstring VersionBlock::String(const wchar_t* block, const wchar_t* name) const
{
    if (data_.empty())
        return std::wstring();
    const std::wstring query = std::wstring(L"\\StringFileInfo\\") + block + L"\\" + name;
    void* text = nullptr;
    UINT length = 0;  // in characters, with the terminating NUL
    if (!VerQueryValueW(data_.data(), query.c_str(), &text, &length) || text == nullptr)
        return std::wstring();
    const wchar_t* chars = static_cast<const wchar_t*>(text);
    return std::wstring(chars, wcsnlen(chars, length));
}

bool ParseVersion(const std::wstring& text, DWORD& mostSignificant, DWORD& leastSignificant)
{
    unsigned parts[4] = {};
    wchar_t rest = 0;
    if (swscanf(text.c_str(), L"%u.%u.%u.%u%lc", &parts[0], &parts[1], &parts[2], &parts[3], &rest) != 4)
        return false;
    for (unsigned part : parts)
        if (part > 0xFFFF)
            return false;
    mostSignificant = MAKELONG(parts[1], parts[0]);
    leastSignificant = MAKELONG(parts[3], parts[2]);
    return true;
}
