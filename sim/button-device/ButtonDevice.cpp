#include "ButtonDevice.h"

namespace sim {

namespace {

LONG moduleLocks = 0;

// A BSTR for an out parameter; an empty text crosses as null.
HRESULT Out(const std::wstring& text, BSTR* out)
{
    *out = nullptr;
    if (text.empty())
        return S_OK;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

std::wstring Text(BSTR text)
{
    return text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
}

}  // namespace

void DeviceModule::Lock()
{
    InterlockedIncrement(&moduleLocks);
}
void DeviceModule::Unlock()
{
    InterlockedDecrement(&moduleLocks);
}
bool DeviceModule::InUse()
{
    return InterlockedCompareExchange(&moduleLocks, 0, 0) != 0;
}

ButtonDevice::ButtonDevice() : config_(DeviceConfig::Read()), store_(config_.RootKey())
{
    DeviceModule::Lock();
}

ButtonDevice::~ButtonDevice()
{
    DeviceModule::Unlock();
}

ULONG ButtonDevice::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG ButtonDevice::Release()
{
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

HRESULT ButtonDevice::Prepare(LONG mode)
{
    if (config_.Fails(L"Prepare"))
        return E_FAIL;
    if (mode != 2)
        return E_INVALIDARG;
    AcquireSRWLockExclusive(&lock_);
    buttonCursor_ = 0;
    ReleaseSRWLockExclusive(&lock_);
    return S_OK;
}

HRESULT ButtonDevice::NextButton(LONG* buttonId)
{
    if (buttonId == nullptr)
        return E_POINTER;
    *buttonId = 0;
    if (config_.Fails(L"NextButton"))
        return E_FAIL;
    HRESULT hr = S_FALSE;
    AcquireSRWLockExclusive(&lock_);
    if (buttonCursor_ < 0) {
        hr = E_UNEXPECTED;  // buttons are listed only after Prepare
    } else if (buttonCursor_ < config_.ButtonCount()) {
        *buttonId = ++buttonCursor_;
        hr = S_OK;
    }
    ReleaseSRWLockExclusive(&lock_);
    return hr;
}

HRESULT ButtonDevice::GetButtonInfo(LONG buttonId, ULONG* info)
{
    if (info == nullptr)
        return E_POINTER;
    *info = 0;
    if (config_.Fails(L"GetButtonInfo"))
        return E_FAIL;
    if (!config_.HasButton(buttonId))
        return E_INVALIDARG;
    *info = 0x3;  // can launch programs and send key combinations
    return S_OK;
}

HRESULT ButtonDevice::BeginRead()
{
    if (config_.Fails(L"BeginRead"))
        return E_FAIL;
    AcquireSRWLockExclusive(&lock_);
    reading_ = true;
    functionCursor_ = 0;
    ReleaseSRWLockExclusive(&lock_);
    return S_OK;
}

HRESULT ButtonDevice::NextFunction(ULONG* functionId)
{
    if (functionId == nullptr)
        return E_POINTER;
    *functionId = 0;
    if (config_.Fails(L"NextFunction"))
        return E_FAIL;
    HRESULT hr = S_FALSE;
    AcquireSRWLockExclusive(&lock_);
    if (!reading_) {
        hr = E_UNEXPECTED;
    } else if (functionCursor_ < config_.Functions().size()) {
        *functionId = config_.Functions()[functionCursor_++].id;
        hr = S_OK;
    } else {
        *functionId = config_.ListEndId();
    }
    ReleaseSRWLockExclusive(&lock_);
    return hr;
}

HRESULT ButtonDevice::GetApplicationFunction(LONG buttonId, ULONG* functionId)
{
    if (functionId == nullptr)
        return E_POINTER;
    *functionId = 0;
    if (config_.Fails(L"GetApplicationFunction"))
        return E_FAIL;
    if (!config_.HasButton(buttonId))
        return E_INVALIDARG;
    *functionId = static_cast<ULONG>(buttonId + 100);
    return S_OK;
}

HRESULT ButtonDevice::GetAssignedFunction(LONG buttonId, ULONG* functionId)
{
    if (functionId == nullptr)
        return E_POINTER;
    *functionId = 0;
    if (config_.Fails(L"GetAssignedFunction"))
        return E_FAIL;
    if (!config_.HasButton(buttonId))
        return E_INVALIDARG;
    *functionId = store_.Read(buttonId).assignedFunction;
    return S_OK;
}

bool ButtonDevice::Accepts(LONG button, ULONG functionId) const
{
    if (functionId == static_cast<ULONG>(button + 100) || functionId == static_cast<ULONG>(button + 200))
        return true;
    return config_.Find(functionId) != nullptr && config_.OwnerOf(functionId) == 0;
}

HRESULT ButtonDevice::SetAssignedFunction(LONG buttonId, ULONG functionId)
{
    if (config_.Fails(L"SetAssignedFunction"))
        return E_FAIL;
    if (!config_.HasButton(buttonId) || !Accepts(buttonId, functionId))
        return E_INVALIDARG;
    if (!store_.WriteAssignment(buttonId, functionId))
        return E_ACCESSDENIED;
    AcquireSRWLockExclusive(&lock_);
    currentButton_ = buttonId;
    ReleaseSRWLockExclusive(&lock_);
    return S_OK;
}

HRESULT ButtonDevice::GetFunctionName(ULONG functionId, BSTR* name)
{
    if (name == nullptr)
        return E_POINTER;
    *name = nullptr;
    if (config_.Fails(L"GetFunctionName"))
        return E_FAIL;
    if (const DeviceFunction* function = config_.Find(functionId))
        return Out(function->name, name);
    // A button's own functions have no device name: the program names them.
    return config_.OwnerOf(functionId) != 0 ? S_OK : E_INVALIDARG;
}

HRESULT ButtonDevice::GetFunctionType(ULONG functionId, LONG* functionType)
{
    if (functionType == nullptr)
        return E_POINTER;
    *functionType = 0;
    if (config_.Fails(L"GetFunctionType"))
        return E_FAIL;
    if (const DeviceFunction* function = config_.Find(functionId)) {
        *functionType = function->type;
        return S_OK;
    }
    const LONG owner = config_.OwnerOf(functionId);
    if (owner == 0)
        return E_INVALIDARG;
    *functionType = functionId == static_cast<ULONG>(owner + 100) ? TypeLaunch : TypeKeyCombination;
    return S_OK;
}

HRESULT ButtonDevice::GetActionTarget(ULONG functionId, BSTR* target)
{
    if (target == nullptr)
        return E_POINTER;
    *target = nullptr;
    if (config_.Fails(L"GetActionTarget"))
        return E_FAIL;
    if (const DeviceFunction* function = config_.Find(functionId))
        return Out(function->actionTarget, target);
    return config_.OwnerOf(functionId) != 0 ? S_OK : E_INVALIDARG;
}

HRESULT ButtonDevice::GetApplication(ULONG functionId, BSTR* path, BSTR* arguments, BSTR* folder)
{
    if (path == nullptr || arguments == nullptr || folder == nullptr)
        return E_POINTER;
    *path = *arguments = *folder = nullptr;
    if (config_.Fails(L"GetApplication"))
        return E_FAIL;

    std::wstring texts[3];
    const LONG owner = config_.OwnerOf(functionId);
    if (owner != 0 && functionId == static_cast<ULONG>(owner + 100)) {
        const ButtonState state = store_.Read(owner);
        texts[0] = state.applicationPath;
        texts[1] = state.applicationArguments;
        texts[2] = state.applicationFolder;
    } else if (const DeviceFunction* function = config_.Find(functionId)) {
        texts[0] = function->path;
        texts[1] = function->arguments;
        texts[2] = function->folder;
    } else if (owner == 0) {
        return E_INVALIDARG;
    }
    BSTR* outs[3] = {path, arguments, folder};
    for (int i = 0; i < 3; ++i) {
        if (FAILED(Out(texts[i], outs[i]))) {
            for (BSTR* out : outs) {
                SysFreeString(*out);
                *out = nullptr;
            }
            return E_OUTOFMEMORY;
        }
    }
    return S_OK;
}

HRESULT ButtonDevice::GetKeyCombination(ULONG functionId, ULONG* keyCombination)
{
    if (keyCombination == nullptr)
        return E_POINTER;
    *keyCombination = 0;
    if (config_.Fails(L"GetKeyCombination"))
        return E_FAIL;
    const LONG owner = config_.OwnerOf(functionId);
    if (owner != 0 && functionId == static_cast<ULONG>(owner + 200)) {
        *keyCombination = store_.Read(owner).keyCombination;
        return S_OK;
    }
    return owner != 0 || config_.Find(functionId) != nullptr ? S_OK : E_INVALIDARG;
}

LONG ButtonDevice::CurrentButton()
{
    AcquireSRWLockShared(&lock_);
    const LONG button = currentButton_;
    ReleaseSRWLockShared(&lock_);
    return button;
}

HRESULT ButtonDevice::SetApplication(BSTR path, BSTR arguments, BSTR folder)
{
    if (config_.Fails(L"SetApplication"))
        return E_FAIL;
    const LONG button = CurrentButton();
    if (button == 0)
        return E_UNEXPECTED;  // no button was addressed yet
    return store_.WriteApplication(button, Text(path), Text(arguments), Text(folder)) ? S_OK : E_ACCESSDENIED;
}

HRESULT ButtonDevice::SetKeyCombination(ULONG keyCombination)
{
    if (config_.Fails(L"SetKeyCombination"))
        return E_FAIL;
    const LONG button = CurrentButton();
    if (button == 0)
        return E_UNEXPECTED;
    return store_.WriteKeyCombination(button, keyCombination) ? S_OK : E_ACCESSDENIED;
}

}  // namespace sim
