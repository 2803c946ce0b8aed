#pragma once
// A critical section object; callers enter and leave `section` directly (or
// through CriticalSectionLock).
#include <windows.h>

namespace nsQrt_Tools {

class CCriticalSection
{
public:
    CCriticalSection() noexcept { InitializeCriticalSection(&section); }
    virtual ~CCriticalSection() { DeleteCriticalSection(&section); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    CRITICAL_SECTION section;
};

}  // namespace nsQrt_Tools

// Holds a CCriticalSection for one scope, also while an exception passes.
class CriticalSectionLock
{
public:
    explicit CriticalSectionLock(nsQrt_Tools::CCriticalSection& lock) noexcept : lock_(lock)
    {
        EnterCriticalSection(&lock_.section);
    }
    ~CriticalSectionLock() { LeaveCriticalSection(&lock_.section); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
    nsQrt_Tools::CCriticalSection& lock_;
};
