#pragma once
// Replaces one imported function in one module's import table for a scope,
// e.g. to make allocations inside a DLL fail.
#include <windows.h>

class ImportPatch
{
public:
    ImportPatch(HMODULE module, const char* dllName, const char* functionName, void* replacement);
    ~ImportPatch();
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool ok() const noexcept { return slot_ != nullptr; }
    void* original() const noexcept { return original_; }

private:
    void** slot_ = nullptr;
    void* original_ = nullptr;
};
