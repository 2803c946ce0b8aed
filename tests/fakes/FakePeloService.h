#pragma once
// An in-test video-enhancement service: registered for the service's class id
// in this apartment (CoRegisterClassObject), it records every call. The
// creation call itself is watched through this program's import of
// CoCreateInstance.
#include <memory>
#include <string>
#include <vector>
#include "support/ImportPatch.h"
#include "PeloControl.h"

struct FakePeloRecord
{
    int created = 0;  // objects the factory made
    int live = 0;     // objects not yet released
    int probes = 0;
    std::wstring probeName;
    ULONG probeFlags = 0;
    VARTYPE probeValueType = 0xFFFF;
    ULONG probeReserved = 0xFFFF;
    struct Execute
    {
        ULONG inOut;
        std::wstring name;
        ULONG param1, param2, flags, mode;
        std::wstring caller;
        VARTYPE valueType;
    };
    std::vector<Execute> executes;
    HRESULT probeAnswer = S_OK;
    HRESULT executeAnswer = S_OK;

    // CoCreateInstance as the code called it.
    int creations = 0;
    CLSID clsid = {};
    bool outerWasNull = false;
    DWORD context = 0;
    IID iid = {};
    HRESULT creationAnswer = S_OK;  // anything else: fails the creation with it
};

class FakePeloService
{
public:
    FakePeloService();  // the calling thread must be in an apartment
    ~FakePeloService();
    FakePeloService(const FakePeloService&) = delete;
    FakePeloService& operator=(const FakePeloService&) = delete;

    bool ok() const noexcept { return cookie_ != 0 && patch_->ok(); }
    FakePeloRecord& record() noexcept;

private:
    DWORD cookie_ = 0;
    std::unique_ptr<ImportPatch> patch_;
};
