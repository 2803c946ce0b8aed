#include "MessageBoxes.h"
#include "tarvix/resource.h"

INT32 silentMode = 0;

namespace {

CString Text(UINT id)
{
    CString text;
    text.LoadString(id);
    return text;
}

} // namespace

int ShowErrorBox(const CString& text)
{
    if (silentMode)
        return 1;
    return MessageBoxW(nullptr, text, Text(IDS_APP_TITLE), MB_OK | MB_ICONERROR);
}

int ShowInvalidApplicationBox()
{
    if (silentMode)
        return 1;
    return MessageBoxW(nullptr, Text(IDS_INVALID_APPLICATION), Text(IDS_APP_TITLE), MB_OK | MB_ICONWARNING);
}
