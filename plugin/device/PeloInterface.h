#pragma once
// Client of the video-enhancement service, to which the logo-lamp page sends
// its LED mode. One Connect / Transform / Disconnect cycle per selection; the
// calling thread must already be in a COM apartment.
#include <windows.h>
#include "Handles.h"
#include "PeloControl.h"

class CPeloInterface
{
public:
    CPeloInterface() = default;
    virtual ~CPeloInterface();  // releases a held interface
    CPeloInterface(const CPeloInterface&) = delete;
    CPeloInterface& operator=(const CPeloInterface&) = delete;

    // Creates the service object and probes it. S_FALSE when already connected
    // (nothing created); the creation or probe HRESULT otherwise. A failed
    // probe lets the object go at once. Raises E_OUTOFMEMORY (CComException)
    // when the probe's name cannot be allocated.
    HRESULT Connect();
    void Disconnect();
    // Sends the LED mode in the name of the page `callerId`. E_FAIL without a
    // connection or when the byte array cannot be built (then nothing is sent);
    // otherwise the service's answer. Raises E_OUTOFMEMORY when a string cannot
    // be allocated.
    HRESULT Transform(DWORD mode, const wchar_t* callerId);

    bool IsConnected() const noexcept { return static_cast<bool>(control); }

private:
    com_ptr<IPeloControl> control;
};
