#pragma once
// Storage behind CString. Each block remembers the manager that made it, so a
// string created in one module can be released in another.
#include <windows.h>

class IStringManager;

struct CStringData
{
    IStringManager* manager;
    volatile LONG refs;  // -1: static block that is never freed (the empty string)
    int length;          // in UTF-16 units, without the terminator
    int capacity;        // in UTF-16 units, without the terminator

    wchar_t* Chars() noexcept { return reinterpret_cast<wchar_t*>(this + 1); }
    bool IsShared() const noexcept { return refs > 1; }
    bool IsLocked() const noexcept { return refs < 0; }
    void AddRef() noexcept;
    void Release() noexcept;
};

class IStringManager
{
public:
    virtual ~IStringManager() = default;
    // Both answer null when no memory is left.
    virtual CStringData* Allocate(int capacity) = 0;
    virtual CStringData* Reallocate(CStringData* data, int capacity) = 0;
    virtual void Free(CStringData* data) = 0;
    // The shared empty string; null when it cannot be had.
    virtual CStringData* GetNilString() = 0;
};

// The heap-backed manager that every new CString uses.
IStringManager* GetDefaultStringManager();
// Replaces the manager for strings made from now on; returns the previous one. For tests.
IStringManager* SetDefaultStringManager(IStringManager* manager);
