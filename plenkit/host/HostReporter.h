#pragma once
// Where the host says what went wrong with a plug-in or a page.
#include "CString.h"
#include "CArray.h"

class IHostReporter
{
public:
    virtual ~IHostReporter() = default;
    virtual void Report(const CString& message) = 0;
};

// Writes each message to standard error at once (UTF-8, one line each) and
// keeps it, so the program can show them together in one message box.
class CConsoleReporter final : public IHostReporter
{
public:
    void Report(const CString& message) override;
    const CArray<CString>& Messages() const noexcept { return messages_; }

private:
    CArray<CString> messages_;
};

// Writes UTF-8 text to a standard handle; does nothing when there is none.
void WriteStdText(DWORD stdHandle, const CString& text);
