#include "ProgramIcon.h"
#include "Guards.h"
#include <objbase.h>
#include <shellapi.h>

void SplitCommandText(const CString& text, CString& program, CString& arguments)
{
    program = text;
    arguments.Empty();
    int start = text.Find(L'"');
    if (start < 0)
        return;
    while (start < text.GetLength() && text.GetAt(start) == L'"')
        ++start;
    if (start >= text.GetLength())
        return;
    const int end = text.Find(L'"', start);
    if (end < 0)
        return;
    int rest = end;
    while (rest < text.GetLength() && text.GetAt(rest) == L'"')
        ++rest;
    program = text.Mid(start, end - start);
    arguments = text.Mid(rest);
    arguments.Trim();
}

HICON LoadProgramIcon(const CString& commandText, bool large)
{
    if (commandText.IsEmpty())
        return nullptr;
    CString program;
    CString arguments;
    SplitCommandText(commandText, program, arguments);

    HICON icon = nullptr;
    if (ExtractIconExW(program, 0, large ? &icon : nullptr, large ? nullptr : &icon, 1) > 0 && icon != nullptr)
        return icon;

    // The shell wants COM; undone only if this call did it (what CoInitialize does).
    const com_initialization com(COINIT_APARTMENTTHREADED);
    SHFILEINFOW info{};
    const UINT flags = SHGFI_ICON | (large ? SHGFI_LARGEICON : SHGFI_SMALLICON);
    if (SHGetFileInfoW(commandText, FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), flags) != 0)
        icon = info.hIcon;
    return icon;
}
