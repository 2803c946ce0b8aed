#pragma once
// The stand-in special-button device. One function list serves every button;
// SetApplication and SetKeyCombination act on the button of the latest
// successful SetAssignedFunction of this object.
#include <windows.h>
#include "ButtonDeviceBase.h"
#include "ButtonStore.h"
#include "DeviceConfig.h"

namespace sim {

// Counts live objects and server locks for DllCanUnloadNow.
struct DeviceModule
{
    static void Lock();
    static void Unlock();
    static bool InUse();
};

class ButtonDevice final : public ButtonDeviceBase
{
public:
    ButtonDevice();
    ButtonDevice(const ButtonDevice&) = delete;
    ButtonDevice& operator=(const ButtonDevice&) = delete;

    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE BeginRead() override;
    HRESULT STDMETHODCALLTYPE NextFunction(ULONG* functionId) override;
    HRESULT STDMETHODCALLTYPE GetApplicationFunction(LONG buttonId, ULONG* functionId) override;
    HRESULT STDMETHODCALLTYPE GetAssignedFunction(LONG buttonId, ULONG* functionId) override;
    HRESULT STDMETHODCALLTYPE SetAssignedFunction(LONG buttonId, ULONG functionId) override;
    HRESULT STDMETHODCALLTYPE GetButtonInfo(LONG buttonId, ULONG* info) override;
    HRESULT STDMETHODCALLTYPE NextButton(LONG* buttonId) override;
    HRESULT STDMETHODCALLTYPE GetFunctionName(ULONG functionId, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE GetFunctionType(ULONG functionId, LONG* functionType) override;
    HRESULT STDMETHODCALLTYPE SetApplication(BSTR path, BSTR arguments, BSTR folder) override;
    HRESULT STDMETHODCALLTYPE GetActionTarget(ULONG functionId, BSTR* target) override;
    HRESULT STDMETHODCALLTYPE GetApplication(ULONG functionId, BSTR* path, BSTR* arguments, BSTR* folder) override;
    HRESULT STDMETHODCALLTYPE GetKeyCombination(ULONG functionId, ULONG* keyCombination) override;
    HRESULT STDMETHODCALLTYPE SetKeyCombination(ULONG keyCombination) override;
    HRESULT STDMETHODCALLTYPE Prepare(LONG mode) override;

private:
    ~ButtonDevice();
    // Whether `button` may take `functionId`: a listed function that is not
    // another button's own, or one of the button's own two.
    bool Accepts(LONG button, ULONG functionId) const;
    LONG CurrentButton();

    LONG references_ = 1;
    const DeviceConfig config_;
    const ButtonStore store_;
    SRWLOCK lock_ = SRWLOCK_INIT;
    int buttonCursor_ = -1;  // -1 until Prepare
    size_t functionCursor_ = 0;
    bool reading_ = false;    // BeginRead was called
    LONG currentButton_ = 0;  // the button of the latest SetAssignedFunction
};

}  // namespace sim
