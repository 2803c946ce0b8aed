#include "FakeButtonDevice.h"
#include "ComTestSupport.h"

namespace {

BSTR Copy(const std::wstring& text)
{
    return text.empty() ? nullptr : SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

std::string Shown(BSTR text)
{
    return text == nullptr ? "null" : "'" + Narrow(text) + "'";
}

std::string Id(ULONG id)
{
    return std::to_string(id);
}

}  // namespace

FakeFunction& FakeButtonDevice::Add(ULONG id, const wchar_t* name, LONG type)
{
    FakeFunction function;
    function.id = id;
    function.name = name;
    function.type = type;
    functions.push_back(function);
    return functions.back();
}

std::vector<std::string> FakeButtonDevice::CallsStartingWith(const std::string& prefix) const
{
    std::vector<std::string> matching;
    for (const std::string& call : calls)
        if (call.compare(0, prefix.size(), prefix) == 0)
            matching.push_back(call);
    return matching;
}

ULONG FakeButtonDevice::AddRef()
{
    return static_cast<ULONG>(++references_);
}

ULONG FakeButtonDevice::Release()
{
    const LONG left = --references_;
    if (left == 0) {
        KeepCallLog("device", calls);
        delete this;
    }
    return static_cast<ULONG>(left);
}

bool FakeButtonDevice::Record(const std::string& call, const char* method)
{
    calls.push_back(call);
    return failing.count(method) != 0;
}

const FakeFunction* FakeButtonDevice::Find(ULONG id) const
{
    for (const FakeFunction& function : functions)
        if (function.id == id)
            return &function;
    return nullptr;
}

HRESULT FakeButtonDevice::Prepare(LONG mode)
{
    if (Record("Prepare(" + std::to_string(mode) + ")", "Prepare"))
        return E_FAIL;
    nextButton_ = 0;
    return S_OK;
}

HRESULT FakeButtonDevice::NextButton(LONG* buttonId)
{
    *buttonId = 0;
    if (Record("NextButton", "NextButton"))
        return E_FAIL;
    if (nextButton_ >= buttons.size())
        return S_FALSE;
    *buttonId = buttons[nextButton_++];
    return S_OK;
}

HRESULT FakeButtonDevice::GetButtonInfo(LONG buttonId, ULONG* info)
{
    *info = 0;
    return Record("GetButtonInfo(" + std::to_string(buttonId) + ")", "GetButtonInfo") ? E_FAIL : S_OK;
}

HRESULT FakeButtonDevice::BeginRead()
{
    if (Record("BeginRead", "BeginRead"))
        return E_FAIL;
    nextFunction_ = 0;
    return S_OK;
}

HRESULT FakeButtonDevice::NextFunction(ULONG* functionId)
{
    *functionId = 0;
    if (Record("NextFunction", "NextFunction"))
        return E_FAIL;
    if (nextFunction_ >= functions.size()) {
        *functionId = endId;
        return S_FALSE;
    }
    *functionId = functions[nextFunction_++].id;
    return S_OK;
}

HRESULT FakeButtonDevice::GetApplicationFunction(LONG buttonId, ULONG* functionId)
{
    *functionId = 0;
    if (Record("GetApplicationFunction(" + std::to_string(buttonId) + ")", "GetApplicationFunction"))
        return E_FAIL;
    *functionId = static_cast<ULONG>(buttonId + 100);
    return S_OK;
}

HRESULT FakeButtonDevice::GetAssignedFunction(LONG buttonId, ULONG* functionId)
{
    *functionId = 0;
    if (Record("GetAssignedFunction(" + std::to_string(buttonId) + ")", "GetAssignedFunction"))
        return E_FAIL;
    const auto found = assigned.find(buttonId);
    if (found == assigned.end())
        return E_INVALIDARG;
    *functionId = found->second;
    return S_OK;
}

HRESULT FakeButtonDevice::SetAssignedFunction(LONG buttonId, ULONG functionId)
{
    if (Record("SetAssignedFunction(" + std::to_string(buttonId) + "," + Id(functionId) + ")", "SetAssignedFunction"))
        return E_FAIL;
    assigned[buttonId] = functionId;
    return S_OK;
}

HRESULT FakeButtonDevice::GetFunctionName(ULONG functionId, BSTR* name)
{
    *name = nullptr;
    if (Record("GetFunctionName(" + Id(functionId) + ")", "GetFunctionName"))
        return E_FAIL;
    const FakeFunction* function = Find(functionId);
    if (function == nullptr)
        return E_INVALIDARG;
    *name = Copy(function->name);
    return S_OK;
}

HRESULT FakeButtonDevice::GetFunctionType(ULONG functionId, LONG* functionType)
{
    *functionType = 0;
    if (Record("GetFunctionType(" + Id(functionId) + ")", "GetFunctionType"))
        return E_FAIL;
    const FakeFunction* function = Find(functionId);
    if (function == nullptr)
        return E_INVALIDARG;
    *functionType = function->type;
    return S_OK;
}

HRESULT FakeButtonDevice::SetApplication(BSTR path, BSTR arguments, BSTR folder)
{
    const std::string call = "SetApplication(" + Shown(path) + "," + Shown(arguments) + "," + Shown(folder) + ")";
    return Record(call, "SetApplication") ? E_FAIL : S_OK;
}

HRESULT FakeButtonDevice::GetActionTarget(ULONG functionId, BSTR* target)
{
    *target = nullptr;
    if (Record("GetActionTarget(" + Id(functionId) + ")", "GetActionTarget"))
        return E_FAIL;
    const FakeFunction* function = Find(functionId);
    if (function == nullptr)
        return E_INVALIDARG;
    *target = Copy(function->actionTarget);
    return S_OK;
}

HRESULT FakeButtonDevice::GetApplication(ULONG functionId, BSTR* path, BSTR* arguments, BSTR* folder)
{
    *path = *arguments = *folder = nullptr;
    if (Record("GetApplication(" + Id(functionId) + ")", "GetApplication"))
        return E_FAIL;
    const FakeFunction* function = Find(functionId);
    if (function == nullptr)
        return E_INVALIDARG;
    *path = Copy(function->path);
    *arguments = Copy(function->arguments);
    *folder = Copy(function->folder);
    return S_OK;
}

HRESULT FakeButtonDevice::GetKeyCombination(ULONG functionId, ULONG* keyCombination)
{
    *keyCombination = 0;
    if (Record("GetKeyCombination(" + Id(functionId) + ")", "GetKeyCombination"))
        return E_FAIL;
    const FakeFunction* function = Find(functionId);
    if (function == nullptr)
        return E_INVALIDARG;
    *keyCombination = function->keyCombination;
    return S_OK;
}

HRESULT FakeButtonDevice::SetKeyCombination(ULONG keyCombination)
{
    char text[32];
    wsprintfA(text, "SetKeyCombination(0x%08lX)", keyCombination);
    return Record(text, "SetKeyCombination") ? E_FAIL : S_OK;
}
