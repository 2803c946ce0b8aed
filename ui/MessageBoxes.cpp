#include "MessageBoxes.h"
#include "tarvix/resource.h"

int ShowErrorBox(const CString& text, bool silent)
{
    if (silent)
        return 1;
    return MessageBoxW(nullptr, text, LoadText(IDS_APP_TITLE), MB_OK | MB_ICONERROR);
}

int ShowInvalidApplicationBox(bool silent)
{
    if (silent)
        return 1;
    return MessageBoxW(nullptr, LoadText(IDS_INVALID_APPLICATION), LoadText(IDS_APP_TITLE), MB_OK | MB_ICONWARNING);
}
