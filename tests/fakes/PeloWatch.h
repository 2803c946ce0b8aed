#pragma once
// A test's private view of the video-enhancement stand-in: its own
// configuration and record key (through PELO_STANDIN_KEY, inherited by
// processes the test starts), and the log lines a given process caused.
#include <memory>
#include <string>
#include <vector>
#include "PeloStandIn.h"
#include "support/RegistryFixtures.h"

class PeloWatch
{
public:
    PeloWatch();
    bool ok() const noexcept { return key_->ok(); }

    void Set(const wchar_t* name, DWORD value) { key_->SetDword(name, value); }
    DWORD Get(const wchar_t* name, DWORD fallback = 0xFFFFFFFF) const;
    std::wstring GetText(const wchar_t* name) const;

    // The log's size now; lines written later start at or after it.
    static unsigned long long LogEnd();
    // The stand-in's log lines written by process `processId` after `from`, in
    // order, without their time stamps. (Process ids come round again between runs.)
    static std::vector<std::string> LogLines(DWORD processId, unsigned long long from);

private:
    std::wstring path_;
    std::unique_ptr<ScopedRegistryKey> key_;
    std::unique_ptr<ScopedEnvironment> environment_;
};
