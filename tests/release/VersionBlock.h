#pragma once
// A file's version resource as Windows reads it (GetFileVersionInfoW, VerQueryValueW).
#include <windows.h>
#include <string>
#include <vector>

class VersionBlock
{
public:
    explicit VersionBlock(const std::wstring& path);

    bool ok() const noexcept { return !data_.empty(); }
    // The fixed part; null when the file has none.
    const VS_FIXEDFILEINFO* Fixed() const;
    // A string of the block for one language and code page, e.g. L"000004b0";
    // empty when it is not there.
    std::wstring String(const wchar_t* block, const wchar_t* name) const;

private:
    std::vector<BYTE> data_;
};

// "5.0.0.4240" as the fixed part's two version numbers; false when it is not four numbers.
bool ParseVersion(const std::wstring& text, DWORD& mostSignificant, DWORD& leastSignificant);
