#include "RegistryText.h"
#include "PathText.h"

bool ReadRegistryPath(HKEY key, const wchar_t* valueName, CString& text)
{
    wchar_t buffer[MAX_PATH];
    DWORD type = REG_NONE;
    DWORD size = sizeof(buffer);
    if (RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
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
