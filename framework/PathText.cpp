#include "PathText.h"

namespace {

bool IsSeparator(wchar_t ch) noexcept
{
    return ch == L'\\' || ch == L'/';
}

bool IsDriveLetter(wchar_t ch) noexcept
{
    return (ch >= L'A' && ch <= L'Z') || (ch >= L'a' && ch <= L'z');
}

}  // namespace

bool IsFullPath(const wchar_t* path) noexcept
{
    if (path == nullptr || path[0] == L'\0')
        return false;
    if (IsSeparator(path[0]))
        return IsSeparator(path[1]);
    return IsDriveLetter(path[0]) && path[1] == L':' && IsSeparator(path[2]);
}

bool IsUsableFileName(const CString& path)
{
    const int length = path.GetLength();
    if (length == 0 || length >= MAX_PATH || IsSeparator(path[length - 1]))
        return false;
    for (int i = 0; i < length; ++i) {
        const wchar_t ch = path[i];
        if (ch < L' ' || wcschr(L"<>\"|?*", ch) != nullptr)
            return false;
        if (ch == L':' && !(i == 1 && IsDriveLetter(path[0])))
            return false;
    }
    return true;
}
