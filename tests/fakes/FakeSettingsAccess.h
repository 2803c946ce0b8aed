#pragma once
// The program's settings access over an in-test settings service, in place of
// the process-wide connection: reachable only while `reachable` is set, and
// counting how often the program looked for the service.
#include "FakeSettingsService.h"
#include "SettingsConnection.h"

class FakeSettingsAccess
{
public:
    explicit FakeSettingsAccess(FakeSettingsService& service)
    {
        service.AddRef();
        record_.service = com_ptr<ISettingsService>::attach(&service);
    }

    bool reachable = false;
    int connects = 0;
    CServiceSettings access{[this]() -> SettingsConnection* {
        ++connects;
        return reachable ? &record_ : nullptr;
    }};

private:
    SettingsConnection record_;
};
