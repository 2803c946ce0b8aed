#pragma once
// A test's private view of the stand-in utility library: its own configuration
// key (through VEXAUTILS_STANDIN_KEY), the counters of this process kept alive
// across the library's unloads, and the registered library path put back afterwards.
#include <memory>
#include <string>
#include "support/RegistryFixtures.h"
#include "VexaUtilsStandIn.h"

// The fourteen names Peryl binds from the library, in its order.
extern const char* const utilityExports[14];

class VexaUtilsWatch
{
public:
    VexaUtilsWatch();
    ~VexaUtilsWatch();
    VexaUtilsWatch(const VexaUtilsWatch&) = delete;
    VexaUtilsWatch& operator=(const VexaUtilsWatch&) = delete;

    bool ok() const noexcept { return counters_ != nullptr && config_->ok(); }
    VexaUtilsCounters& counters() { return *counters_; }
    void ResetCounters();

    void SetCapability(DWORD answer);
    void SetSupported(bool supported);
    // The registered library value ("VexaUtils.dll" under Shared Dlls), restored afterwards.
    ScopedRegistryValue& LibraryValue() { return libraryValue_; }

    static bool Loaded();  // either build of the stand-in is mapped into this process

private:
    ScopedRegistryValue libraryValue_;
    std::unique_ptr<ScopedRegistryKey> config_;
    std::unique_ptr<ScopedEnvironment> environment_;
    HANDLE mapping_ = nullptr;
    VexaUtilsCounters* counters_ = nullptr;
};

extern const wchar_t sharedDllsKey[];
