#include "RegistryText.h"

namespace {

bool IsSeparator(wchar_t ch) noexcept { return ch == L'\\' || ch == L'/'; }

bool IsDriveLetter(wchar_t ch) noexcept { return (ch >= L'A' && ch <= L'Z') || (ch >= L'a' && ch <= L'z'); }

} // namespace

bool IsFullPath(const wchar_t* path) noexcept
{
    if (path == nullptr || path[0] == L'\0')
        return false;
    if (IsSeparator(path[0]))
        return IsSeparator(path[1]);
    return IsDriveLetter(path[0]) && path[1] == L':' && IsSeparator(path[2]);
}

bool ReadRegistryPath(HKEY key, const wchar_t* valueName, CString& text)
{
    wchar_t buffer[MAX_PATH];
    DWORD type = REG_NONE;
    DWORD size = sizeof(buffer);
    if (RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS)
        return false;  // also when it does not fit
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return false;
    if (size == 0 || size % sizeof(wchar_t) != 0)
        return false;
    if (buffer[size / sizeof(wchar_t) - 1] != L'\0')
        return false;
    if (!IsFullPath(buffer))
        return false;
    text = buffer;
    return true;
}
