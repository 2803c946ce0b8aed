#include "RegistryText.h"

bool ReadRegistryPath(HKEY key, const wchar_t* valueName, CString& text, bool emptyAllowed)
{
    wchar_t buffer[MAX_PATH];
    DWORD type = REG_NONE;
    DWORD size = sizeof(buffer);
    if (RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS)
        return false;  // also when it does not fit
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return false;
    if (size % sizeof(wchar_t) != 0)
        return false;
    if (size == 0) {
        if (!emptyAllowed)
            return false;
        text.Empty();
        return true;
    }
    const DWORD units = size / sizeof(wchar_t);
    if (buffer[units - 1] != L'\0')
        return false;
    text = buffer;
    return true;
}
