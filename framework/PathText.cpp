#include "PathText.h"

namespace {

bool IsSeparator(wchar_t ch)
{
    return ch == L'\\' || ch == L'/';
}

bool IsDriveLetter(wchar_t ch)
{
    return (ch >= L'A' && ch <= L'Z') || (ch >= L'a' && ch <= L'z');
}

} // namespace

bool IsAbsolutePath(const CString& path)
{
    const int length = path.GetLength();
    if (length >= 3 && IsDriveLetter(path[0]) && path[1] == L':' && IsSeparator(path[2]))
        return true;
    return length >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && !IsSeparator(path[2]);
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
