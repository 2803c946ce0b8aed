#include "HostReporter.h"
#include <vector>

void WriteStdText(DWORD stdHandle, const CString& text)
{
    HANDLE out = GetStdHandle(stdHandle);
    if (out == nullptr || out == INVALID_HANDLE_VALUE || text.IsEmpty())
        return;
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, text.GetLength(), nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return;
    std::vector<char> utf8(static_cast<size_t>(bytes));
    WideCharToMultiByte(CP_UTF8, 0, text, text.GetLength(), utf8.data(), bytes, nullptr, nullptr);
    DWORD written = 0;
    (void)WriteFile(out, utf8.data(), static_cast<DWORD>(bytes), &written, nullptr);
}

void CConsoleReporter::Report(const CString& message)
{
    WriteStdText(STD_ERROR_HANDLE, L"PlenkitHost: " + message + L"\n");
    messages_.Add(message);
}
